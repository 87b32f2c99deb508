#pragma once

#include <QWidget>

class QAbstractButton;

// A page of the main window. The window calls entered() when the page becomes the active one,
// so each page reloads what it shows.
class MainTab : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void entered() {}

Q_SIGNALS:
    // The short result of an action, for the window's status bar.
    void statusMessage(const QString &text);
};
