#include "ConsolePrompter.h"

void ConsolePrompter::information(const QString &text) {
    err_ << text << Qt::endl;
}

void ConsolePrompter::warning(const QString &text) {
    err_ << QStringLiteral("Opozorilo: ") << text << Qt::endl;
}

void ConsolePrompter::error(const QString &text) {
    err_ << QStringLiteral("Napaka: ") << text << Qt::endl;
}

bool ConsolePrompter::refuse(const QString &question) {
    err_ << question << QStringLiteral(" -> Ne (brez okna odgovorim varno)") << Qt::endl;
    return false;
}

bool ConsolePrompter::yesNo(const QString &text) {
    return refuse(text);
}

bool ConsolePrompter::okCancel(const QString &text) {
    return refuse(text);
}

bool ConsolePrompter::abortIgnore(const QString &text) {
    err_ << text << QStringLiteral(" -> Prekini (brez okna odgovorim varno)") << Qt::endl;
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
