#pragma once

#include "Configuration.h"
#include "FakeClock.h"
#include "HostData.h"
#include "Query.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// An empty file.
inline void touch(const QString &path) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

inline QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

// An embedded database in a temporary program directory, with two delivery folders beside it
// and everything a signing run needs.
struct DeliveryFixture {
    DeliveryFixture() : host(*t.db) {
        configuration.atvpUporabnik = "ATVP-NTRS";
        configuration.xmlPathServer = QDir(xmlServer.path()).absolutePath() + "/";
        configuration.sigPathServer = QDir(sigServer.path()).absolutePath() + "/";
    }

    Session &session() {
        if (!session_)
            session_ = std::make_unique<Session>(*t.db, configuration, "MARKO", t.dir.path(),
                                                 prompter, clock, waiter);
        return *session_;
    }

    QString programFile(const QString &name) const { return t.dir.file(name); }
    QString xmlFile(const QString &name) const { return xmlServer.filePath(name); }
    QString sigFile(const QString &name) const { return sigServer.filePath(name); }

    // A report file in the program directory.
    QByteArray writeReport(const QString &name) {
        const QByteArray content = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Porocilo Ime=\"" +
                                   name.toUtf8() + "\"/>\n";
        QFile f(programFile(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return content;
    }
    static QByteArray read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The register's sending time of a row (invalid when not sent).
    QDateTime sent(qint64 id, int zapSt) {
        Query q(*t.db);
        q.setText("select DAN from DPATVP where DPATVPID = :Id and ZAPST = :ZapSt");
        q.setInteger("Id", id);
        q.setInteger("ZapSt", zapSt);
        q.open();
        return q.eof() ? QDateTime() : q.asDateTime("DAN");
    }
    int count(const QString &sql) { return t.scalar(sql).toInt(); }

    TestDatabase t;
    HostData host;
    QTemporaryDir xmlServer;
    QTemporaryDir sigServer;
    Configuration configuration;
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(QDate(2014, 4, 2), QTime(16, 45, 12))};
    FakeWaiter waiter{clock};

private:
    std::unique_ptr<Session> session_;
};
