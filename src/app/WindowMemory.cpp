#include "WindowMemory.h"

#include "DataGrid.h"

#include <QSettings>
#include <QWidget>

namespace {
// The user's settings of the program ("~/.config/rapo/rapo.conf" on Linux).
const QString organization = QStringLiteral("rapo");
const QString application = QStringLiteral("rapo");

QString columnsGroup(const DataGrid &grid) {
    return QStringLiteral("stolpci/") + grid.objectName();
}
} // namespace

void WindowMemory::restore(QWidget &window) {
    QSettings s(organization, application);
    window.restoreGeometry(s.value(QStringLiteral("okno/geometrija")).toByteArray());
    for (DataGrid *grid : window.findChildren<DataGrid *>()) {
        if (grid->objectName().isEmpty())
            continue;
        s.beginGroup(columnsGroup(*grid));
        QHash<QString, int> widths;
        for (const QString &field : s.childKeys())
            widths.insert(field, s.value(field).toInt());
        s.endGroup();
        if (!widths.isEmpty())
            grid->keepColumnWidths(widths);
    }
}

void WindowMemory::save(const QWidget &window) {
    QSettings s(organization, application);
    s.setValue(QStringLiteral("okno/geometrija"), window.saveGeometry());
    for (const DataGrid *grid : window.findChildren<DataGrid *>()) {
        if (grid->objectName().isEmpty())
            continue;
        s.beginGroup(columnsGroup(*grid));
        s.remove(QString());
        const QHash<QString, int> widths = grid->keptColumnWidths();
        for (auto it = widths.begin(); it != widths.end(); ++it)
            s.setValue(it.key(), it.value());
        s.endGroup();
    }
}
