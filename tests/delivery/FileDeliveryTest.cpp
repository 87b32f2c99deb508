// A move into a delivery folder: a verified copy, then the removal of the source.
#include "DeliveryFixture.h"
#include "FileDelivery.h"

#include <gtest/gtest.h>

namespace {
TEST(FileDelivery, AMoveRemovesTheSourceOnlyAfterACompleteCopy) {
    struct Case {
        const char *what;
        QString target; // "<from>", "<to>" stand for the two folders with their separators
        bool sourceStays;
        bool copyFails;
    };
    const std::vector<Case> cases{
        {"to another folder", "<to>r.pdf", false, false},
        {"onto itself, spelled otherwise", "<from>./r.pdf", true, false},
        {"into a folder that is not there", "<to>nikjer/r.pdf", true, true},
    };
    QTemporaryDir from, to;
    const QByteArray content(100000, 'x');
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString source = from.filePath("r.pdf");
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const QString target = QString(c.target)
                                   .replace("<from>", from.path() + "/")
                                   .replace("<to>", to.path() + "/");

        const FileDelivery::Moved moved = FileDelivery::move(source, target);

        EXPECT_EQ(moved.copyError.isEmpty(), !c.copyFails) << moved.copyError.toStdString();
        EXPECT_TRUE(moved.removeError.isEmpty());
        EXPECT_EQ(DeliveryFixture::read(source), c.sourceStays ? content : QByteArray());
        EXPECT_EQ(DeliveryFixture::read(target), c.copyFails ? QByteArray() : content);
        QFile::remove(to.filePath("r.pdf"));
    }
}
} // namespace
