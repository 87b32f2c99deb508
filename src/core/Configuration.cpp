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

// A value longer than this is no setting of the program (a Windows path has at most 260
// characters, and no reported value is longer); it is refused before anything copies it.
constexpr qsizetype longestValue = 260;

// Reads values through one door, so that a value of the wrong form is refused with its key and
// line and makes the settings unusable for reporting: a report never carries it.
struct SettingReader {
    const IniFile &ini;
    Configuration &c;

    QString read(const QString &section, const QString &key, const QString &def) const {
        const std::optional<QString> value = ini.value(section, key);
        if (!value)
            return def;
        if (value->size() > longestValue) {
            refuse(section, key, QStringLiteral("je daljša od %1 znakov").arg(longestValue));
            return def;
        }
        return *value;
    }

    // Keeps `value` when it is empty or matches `form`; otherwise refuses it and empties it.
    void check(const QString &section, const QString &key, QString &value, const QString &form,
               const QString &expected) const {
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(form));
        if (value.isEmpty() || pattern.match(value).hasMatch())
            return;
        refuse(section, key, QStringLiteral("(\"") + value + QStringLiteral("\") ni ") + expected);
        value.clear();
    }

    void refuse(const QString &section, const QString &key, const QString &why) const {
        const QString message = QStringLiteral("V RAPO.ini v vrstici ") +
                                QString::number(ini.lineNumber(section, key)) +
                                QStringLiteral(" vrednost ključa ") + key + QStringLiteral(" [") +
                                section + QStringLiteral("] ") + why +
                                QStringLiteral(". Nastavitve ne upoštevam.");
        c.messages << message;
        if (c.unusable.isEmpty())
            c.unusable = message;
    }
};

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

    const SettingReader setting{ini, c};
    c.gnupgPath = setting.read(gnupg, QStringLiteral("Path"), {});
    c.gnupgUser = setting.read(gnupg, QStringLiteral("User"), {});
    const QString stored = setting.read(gnupg, QStringLiteral("PassPhrase"), {});
    if (!stored.isEmpty()) {
        if (const auto decoded = PassPhraseCoding::decode(stored))
            c.passPhrase = *decoded;
        else
            c.messages << QStringLiteral(
                "Shranjeno geslo za podpisovanje v RAPO.ini (GnuPG, PassPhrase) ni zapisano "
                "pravilno, zato ga ne upoštevam. Geslo vnesite ob podpisovanju.");
    }

    c.tip = commentStripped(setting.read(splosno, QStringLiteral("Tip"), QStringLiteral("ORACLE")));
    c.isDb2 = c.tip == QStringLiteral("DB2");
    c.tipPosla = trimmed(setting.read(splosno, QStringLiteral("TipPosla"), {}));
    c.posliVekPrefiks = trimmed(setting.read(splosno, QStringLiteral("Posli_VEK_Prefiks"), {}));
    c.vpVekPrefiks = trimmed(setting.read(splosno, QStringLiteral("VP_VEK_Prefiks"), {}));
    c.posliImportPrefiks =
        trimmed(setting.read(splosno, QStringLiteral("Posli_Import_Prefiks"), {}));
    c.xmlPathServer = commentStripped(setting.read(splosno, QStringLiteral("XMLPath_Server"), {}));
    c.sigPathServer = commentStripped(setting.read(splosno, QStringLiteral("SIGPath_Server"), {}));
    c.atvpUporabnik = trimmed(setting.read(splosno, QStringLiteral("ATVP_Uporabnik"), {}));
    if (c.atvpUporabnik.isEmpty())
        c.messages << QStringLiteral("Prosim preverite RAPO.ini fajl, manjka ATVP_Uporabnik!!");

    c.dmc2 = commentStripped(setting.read(trzisce, QStringLiteral("DMC_2"), {}));
    c.dmc3 = commentStripped(setting.read(trzisce, QStringLiteral("DMC_3"), {}));
    c.tuj2 = commentStripped(setting.read(trzisce, QStringLiteral("Tuj_2"), {}));
    c.tuj3 = commentStripped(setting.read(trzisce, QStringLiteral("Tuj_3"), {}));
    c.sfTrgaPorocevalca = commentStripped(
        setting.read(splosno, QStringLiteral("Sf_Trga_Porocevalca"), QStringLiteral("8")));
    c.micLjseC = setting.read(segmentTrg, QStringLiteral("MIC_LJSE_C"), {}).toUpper();
    c.matStev = setting.read(splosno, QStringLiteral("MatStev"), {});
    // What goes into a report's references, codes and statements has the form the report takes.
    setting.check(splosno, QStringLiteral("Posli_VEK_Prefiks"), c.posliVekPrefiks,
                  QStringLiteral("\\d{0,11}"),
                  QStringLiteral("predpona iz največ 11 števk (referenca ima 12 števk)"));
    setting.check(splosno, QStringLiteral("Posli_Import_Prefiks"), c.posliImportPrefiks,
                  QStringLiteral("\\d{0,11}"),
                  QStringLiteral("predpona iz največ 11 števk (referenca ima 12 števk)"));
    setting.check(splosno, QStringLiteral("VP_VEK_Prefiks"), c.vpVekPrefiks,
                  QStringLiteral("\\d{0,9}"),
                  QStringLiteral("predpona iz največ 9 števk (interna šifra ima 10 števk)"));
    setting.check(splosno, QStringLiteral("Sf_Trga_Porocevalca"), c.sfTrgaPorocevalca,
                  QStringLiteral("\\d{1,9}"), QStringLiteral("šifra trga (število)"));
    setting.check(segmentTrg, QStringLiteral("MIC_LJSE_C"), c.micLjseC,
                  QStringLiteral("[A-Z0-9]{4}"), QStringLiteral("MIC (štiri črke ali števke)"));
    const QString fixedVenues = setting.read(splosno, QStringLiteral("FiksniTimeZoneZaTrg"), {});
    if (!fixedVenues.isEmpty()) {
        if (isVenueCodeList(fixedVenues)) {
            c.fiksniTimeZoneZaTrg = fixedVenues;
            for (const QString &code : fixedVenues.split(u','))
                c.fiksniTimeZoneTrgi << code.trimmed();
        } else {
            c.messages << QStringLiteral("Vrednost FiksniTimeZoneZaTrg v RAPO.ini (vrstica ") +
                              QString::number(
                                  ini.lineNumber(splosno, QStringLiteral("FiksniTimeZoneZaTrg"))) +
                              QStringLiteral(", \"") + fixedVenues +
                              QStringLiteral("\") ni seznam šifer trgov, ločenih z vejico (na "
                                             "primer 8,12). Nastavitve ne upoštevam: vsi trgi "
                                             "dobijo časovni pas s poletnim časom.");
        }
    }
    c.debug = numberOr(setting.read(splosno, QStringLiteral("Debug"), {}), 0) != 0;

    const QString pdfPath = commentStripped(setting.read(splosno, QStringLiteral("PDF_Path"), {}));
    if (pdfPath.isEmpty())
        c.pdfPath = programDirectory;
    else
        c.pdfPath = ProgramDirectory::withSeparator(pdfPath);
    if (!QFileInfo(c.pdfPath).isDir())
        c.messages << folderMissing(c.pdfPath);

    for (auto [key, target] : {std::pair{QStringLiteral("PDF_Server"), &c.pdfServer},
                               std::pair{QStringLiteral("PDF_SIGServer"), &c.pdfSigServer}}) {
        const QString folder = commentStripped(setting.read(splosno, key, {}));
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
