#pragma once

#include <QString>
#include <QStringList>

// The site settings of RAPO.ini, read once at start-up and kept for the whole run.
struct Configuration {
    // GnuPG
    QString gnupgPath;
    QString gnupgUser;
    QString passPhrase; // decoded

    // Splošno
    QString tip;
    bool isDb2 = false;
    QString tipPosla;
    QString posliVekPrefiks;
    QString vpVekPrefiks;
    QString posliImportPrefiks;
    QString xmlPathServer;
    QString sigPathServer;
    QString atvpUporabnik;
    QString sfTrgaPorocevalca;
    QString matStev;
    QString fiksniTimeZoneZaTrg;    // as it goes into statements; empty when refused
    QStringList fiksniTimeZoneTrgi; // the same codes, one per entry
    bool debug = false;
    QString pdfPath;
    QString pdfServer;
    QString pdfSigServer;

    // Trzisce
    QString dmc2;
    QString dmc3;
    QString tuj2;
    QString tuj3;

    // SegmentTrg
    QString micLjseC;

    // Problems found while reading, in the order they were found, for the user to see.
    QStringList messages;
    // Why collection, generation and signing cannot run with these settings; empty when they
    // can. A default-made configuration can.
    QString unusable;
    QString unusableForSigning; // also for signing alone

    // Throw RapoError with the reason when the settings do not allow reporting or signing.
    void requireForReporting() const;
    void requireForSigning() const;

    // Reads RAPO.ini from the program directory (which ends with a separator). Never fails:
    // every problem becomes a message and reading goes on; a file that is missing, unreadable
    // or lacks [Splošno] with Posli_VEK_Prefiks makes the settings unusable for reporting.
    static Configuration read(const QString &programDirectory);
};
