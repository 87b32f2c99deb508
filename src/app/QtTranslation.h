#pragma once

// Qt's own texts (file dialogs, message-box buttons, context menus) in the program's language:
// Qt's Slovenian catalogue "qt_sl.qm" from Qt's translations folder.
namespace QtTranslation {
// Installs the catalogue in the running application; false when it is not there (the standard
// dialogs then stay in English).
bool install();
} // namespace QtTranslation
