#include "MainTab.h"

const QString MainTab::notAvailableHint = QStringLiteral("Še ni na voljo v tej različici.");

void MainTab::markNotAvailable(QWidget *control) {
    control->setEnabled(false);
    const QString hint = control->toolTip();
    control->setToolTip(hint.isEmpty() ? notAvailableHint
                                       : hint + QStringLiteral(" (") + notAvailableHint + u')');
}
