#pragma once

// Qt's own texts (file dialogs, message-box buttons, context menus) in the program's language:
// Qt's Slovenian catalogue "qt_sl.qm" from Qt's translations folder.
namespace QtTranslation {
// Makes Slovenian the default locale and installs the catalogue in the running application;
// false when the catalogue is not there (the standard dialogs then stay in English).
bool install();
} // namespace QtTranslation
