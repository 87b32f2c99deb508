#include "TempProgramDirectory.h"

#include "ProgramDirectory.h"
#include "Windows1250.h"

#include <QFile>
#include <gtest/gtest.h>

TempProgramDirectory::TempProgramDirectory() {
    EXPECT_TRUE(dir_.isValid());
}

QString TempProgramDirectory::path() const {
    return ProgramDirectory::withSeparator(dir_.path());
}

void TempProgramDirectory::writeWindows1250(const QString &name, const QString &text) const {
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Windows1250::encode(text));
}
