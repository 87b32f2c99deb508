#include "Configuration.h"

#include "IniFile.h"
#include "PassPhraseCoding.h"
#include "ProgramDirectory.h"
#include "RapoError.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {
const QString gnupg = QStringLiteral("GnuPG");
const QString splosno = QStringLiteral("Splošno");
const QString trzisce = QStringLiteral("Trzisce");
const QString segmentTrg = QStringLiteral("SegmentTrg");

// Blanks and control characters at both ends are dropped.
QString trimmed(const QString &value) {
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && value[begin].unicode() <= u' ')
        ++begin;
    while (end > begin && value[end - 1].unicode() <= u' ')
        --end;
    return value.mid(begin, end - begin);
}

// A site may explain a value behind "//"; only that pair of slashes starts a comment, so a
// network path's leading "\\" stays.
QString commentStripped(const QString &value) {
    const qsizetype comment = value.indexOf(QStringLiteral("//"));
    return trimmed(comment >= 0 ? value.left(comment) : value);
}

long long numberOr(const QString &value, long long def) {
    const QString text = trimmed(value);
    bool ok = false;
    long long number = 0;
    if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        number = text.mid(2).toLongLong(&ok, 16);
    else
        number = text.toLongLong(&ok, 10);
    return ok ? number : def;
}

// Venue codes are whole numbers; anything else must not reach the statements' text.
bool isVenueCodeList(const QString &value) {
    static const QRegularExpression list(QStringLiteral("^\\s*\\d+\\s*(,\\s*\\d+\\s*)*$"));
    return list.match(value).hasMatch();
}

QString folderMissing(const QString &folder) {
    return QStringLiteral("Direktorij ") + folder + QStringLiteral(" ne obstaja!");
}
} // namespace

Configuration Configuration::read(const QString &programDirectory) {
    Configuration c;
    const QString path = programDirectory + QStringLiteral("RAPO.ini");
    const IniFile ini(path);
    if (!ini.exists()) {
        c.messages << QStringLiteral("Manjka .ini datoteka!");
        c.unusable = c.messages.last() + QStringLiteral(" (") + path + u')';
        return c;
    }
    if (!ini.readable()) {
        c.unusable = QStringLiteral("Datoteke ") + path + QStringLiteral(" ni mogoče prebrati: ") +
                     ini.errorText();
        c.messages << c.unusable;
        return c;
    }
    // Without the prefix the references would not match those already reported.
    if (!ini.hasSection(splosno))
        c.unusable = QStringLiteral("V RAPO.ini manjka razdelek [Splošno] (ali pa datoteka ni "
                                    "shranjena v kodni tabeli Windows-1250 ali UTF-8).");
    else if (!ini.value(splosno, QStringLiteral("Posli_VEK_Prefiks")))
        c.unusable = QStringLiteral("V RAPO.ini v razdelku [Splošno] manjka ključ "
                                    "Posli_VEK_Prefiks.");
    else if (!ini.value(splosno, QStringLiteral("ATVP_Uporabnik")))
        c.unusableForSigning = QStringLiteral("V RAPO.ini v razdelku [Splošno] manjka ključ "
                                              "ATVP_Uporabnik.");

    c.gnupgPath = ini.readString(gnupg, QStringLiteral("Path"), {});
    c.gnupgUser = ini.readString(gnupg, QStringLiteral("User"), {});
    const QString stored = ini.readString(gnupg, QStringLiteral("PassPhrase"), {});
    if (!stored.isEmpty()) {
        if (const auto decoded = PassPhraseCoding::decode(stored))
            c.passPhrase = *decoded;
        else
            c.messages << QStringLiteral(
                "Shranjeno geslo za podpisovanje v RAPO.ini (GnuPG, PassPhrase) ni zapisano "
                "pravilno, zato ga ne upoštevam. Geslo vnesite ob podpisovanju.");
    }

    c.tip =
        commentStripped(ini.readString(splosno, QStringLiteral("Tip"), QStringLiteral("ORACLE")));
    c.isDb2 = c.tip == QStringLiteral("DB2");
    c.tipPosla = trimmed(ini.readString(splosno, QStringLiteral("TipPosla"), {}));
    c.posliVekPrefiks = trimmed(ini.readString(splosno, QStringLiteral("Posli_VEK_Prefiks"), {}));
    c.vpVekPrefiks = trimmed(ini.readString(splosno, QStringLiteral("VP_VEK_Prefiks"), {}));
    c.posliImportPrefiks =
        trimmed(ini.readString(splosno, QStringLiteral("Posli_Import_Prefiks"), {}));
    c.xmlPathServer =
        commentStripped(ini.readString(splosno, QStringLiteral("XMLPath_Server"), {}));
    c.sigPathServer =
        commentStripped(ini.readString(splosno, QStringLiteral("SIGPath_Server"), {}));
    c.atvpUporabnik = trimmed(ini.readString(splosno, QStringLiteral("ATVP_Uporabnik"), {}));
    if (c.atvpUporabnik.isEmpty())
        c.messages << QStringLiteral("Prosim preverite RAPO.ini fajl, manjka ATVP_Uporabnik!!");

    c.dmc2 = commentStripped(ini.readString(trzisce, QStringLiteral("DMC_2"), {}));
    c.dmc3 = commentStripped(ini.readString(trzisce, QStringLiteral("DMC_3"), {}));
    c.tuj2 = commentStripped(ini.readString(trzisce, QStringLiteral("Tuj_2"), {}));
    c.tuj3 = commentStripped(ini.readString(trzisce, QStringLiteral("Tuj_3"), {}));
    c.sfTrgaPorocevalca = commentStripped(
        ini.readString(splosno, QStringLiteral("Sf_Trga_Porocevalca"), QStringLiteral("8")));
    c.micLjseC = ini.readString(segmentTrg, QStringLiteral("MIC_LJSE_C"), {}).toUpper();
    c.matStev = ini.readString(splosno, QStringLiteral("MatStev"), {});
    const QString fixedVenues = ini.readString(splosno, QStringLiteral("FiksniTimeZoneZaTrg"), {});
    if (!fixedVenues.isEmpty()) {
        if (isVenueCodeList(fixedVenues)) {
            c.fiksniTimeZoneZaTrg = fixedVenues;
            for (const QString &code : fixedVenues.split(u','))
                c.fiksniTimeZoneTrgi << code.trimmed();
        } else {
            c.messages << QStringLiteral("Vrednost FiksniTimeZoneZaTrg v RAPO.ini (\"") +
                              fixedVenues +
                              QStringLiteral("\") ni seznam šifer trgov, ločenih z vejico (na "
                                             "primer 8,12). Nastavitve ne upoštevam: vsi trgi "
                                             "dobijo časovni pas s poletnim časom.");
        }
    }
    c.debug = numberOr(ini.readString(splosno, QStringLiteral("Debug"), {}), 0) != 0;

    const QString pdfPath =
        commentStripped(ini.readString(splosno, QStringLiteral("PDF_Path"), {}));
    if (pdfPath.isEmpty())
        c.pdfPath = programDirectory;
    else
        c.pdfPath = ProgramDirectory::withSeparator(pdfPath);
    if (!QFileInfo(c.pdfPath).isDir())
        c.messages << folderMissing(c.pdfPath);

    for (auto [key, target] : {std::pair{QStringLiteral("PDF_Server"), &c.pdfServer},
                               std::pair{QStringLiteral("PDF_SIGServer"), &c.pdfSigServer}}) {
        const QString folder = commentStripped(ini.readString(splosno, key, {}));
        *target = folder.isEmpty() ? programDirectory : folder;
        if (!QFileInfo(*target).isDir())
            c.messages << folderMissing(*target);
    }
    return c;
}

void Configuration::requireForReporting() const {
    if (!unusable.isEmpty())
        throw RapoError(unusable + QStringLiteral("\r\nNabor, generiranje in podpisovanje poročil "
                                                  "niso mogoči, dokler RAPO.ini ni popravljen."));
}

void Configuration::requireForSigning() const {
    requireForReporting();
    if (!unusableForSigning.isEmpty())
        throw RapoError(unusableForSigning +
                        QStringLiteral("\r\nPodpisovanje poročil ni mogoče, dokler RAPO.ini ni "
                                       "popravljen."));
}
