#pragma once

#include "TempProgramDirectory.h"

#include <QFile>
#include <QFileInfo>

// A data source RAPOTEST defined in a temporary ODBC configuration, served by the SQLite ODBC
// driver: the same path a site's Oracle or DB2 data source takes.
class OdbcDataSource {
public:
    OdbcDataSource() : previousSys_(qgetenv("ODBCSYSINI")), previousIni_(qgetenv("ODBCINI")) {
        const QString driver = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so");
        available = QFileInfo::exists(driver);
        write("odbcinst.ini", "[SQLite3]\nDriver=" + driver + "\n");
        write("odbc.ini", "[RAPOTEST]\nDriver=SQLite3\nDatabase=" + dir.path() + "host.db\n");
        qputenv("ODBCSYSINI", QFile::encodeName(dir.path()));
        qputenv("ODBCINI", QFile::encodeName(dir.path() + "odbc.ini"));
    }
    ~OdbcDataSource() {
        qputenv("ODBCSYSINI", previousSys_);
        qputenv("ODBCINI", previousIni_);
    }
    OdbcDataSource(const OdbcDataSource &) = delete;
    OdbcDataSource &operator=(const OdbcDataSource &) = delete;

    TempProgramDirectory dir;
    bool available = false;

private:
    void write(const QString &name, const QString &text) {
        QFile f(dir.file(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
    }
    QByteArray previousSys_;
    QByteArray previousIni_;
};
