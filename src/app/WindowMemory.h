#pragma once

class QWidget;

// What the window keeps between runs of the workstation's user: its size and place and the
// widths of its lists' columns. Kept in the user's settings of the program, not in RAPO.ini,
// which belongs to the site.
namespace WindowMemory {
// Gives the window and every list in it what the last run left.
void restore(QWidget &window);
void save(const QWidget &window);
} // namespace WindowMemory
