#pragma once

#include "TempProgramDirectory.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

// The program itself, started on the demo site as the system scheduler would: what it printed
// and how it ended.
struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

inline ProgramRun rapo(const TempProgramDirectory &dir, const QStringList &arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RAPO_HOME", dir.path());
    process.setProcessEnvironment(environment);
    process.start(RAPO_PROGRAM, QStringList{"DEMO", "demo", "demo", "DEMO"} + arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
