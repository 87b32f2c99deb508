#include "ConsolePrompter.h"

namespace {
// A terminal or a log file gets real line ends: a message's CR LF or lone CR becomes a newline.
QString withNewlines(const QString &text) {
    return QString(text)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(u'\r', u'\n');
}
} // namespace

void ConsolePrompter::information(const QString &text) {
    err_ << withNewlines(text) << Qt::endl;
}

void ConsolePrompter::warning(const QString &text) {
    err_ << QStringLiteral("Opozorilo: ") << withNewlines(text) << Qt::endl;
}

void ConsolePrompter::error(const QString &text) {
    err_ << QStringLiteral("Napaka: ") << withNewlines(text) << Qt::endl;
}

bool ConsolePrompter::refuse(const QString &question) {
    err_ << withNewlines(question) << QStringLiteral(" -> Ne (brez okna odgovorim varno)")
         << Qt::endl;
    return false;
}

bool ConsolePrompter::yesNo(const QString &text) {
    return refuse(text);
}

bool ConsolePrompter::okCancel(const QString &text) {
    return refuse(text);
}

bool ConsolePrompter::abortIgnore(const QString &text) {
    err_ << withNewlines(text) << QStringLiteral(" -> Prekini (brez okna odgovorim varno)")
         << Qt::endl;
    return true;
}

QString ConsolePrompter::openFile(const QString &caption, const QString &, const QString &) {
    refuse(caption);
    return {};
}

QString ConsolePrompter::saveFile(const QString &caption, const QString &, const QString &) {
    refuse(caption);
    return {};
}
