#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

bool ScriptedPrompter::answer(const QString &text) {
    texts << text;
    if (answers.isEmpty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    return answers.takeFirst();
}

QString ScriptedPrompter::openFile(const QString &caption, const QString &, const QString &) {
    texts << caption;
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedPrompter::saveFile(const QString &caption, const QString &, const QString &) {
    texts << caption;
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}
