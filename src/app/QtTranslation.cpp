#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
// Debian's Slovenian catalogue was made for an older Qt, which named the standard buttons
// ("&Yes", "Cancel", "&Save", ...) under the button box; Qt 6 asks for them under its platform
// theme. Those are looked up where the catalogue has them.
class CatalogueTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        if (text.isEmpty() && qstrcmp(context, "QPlatformTheme") == 0)
            text = QTranslator::translate("QDialogButtonBox", sourceText, disambiguation, n);
        return text;
    }
};
} // namespace

bool QtTranslation::install() {
    // What Qt words and formats itself (month names, file sizes and kinds) follows as well.
    QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    auto *translator = new CatalogueTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qt_sl"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
