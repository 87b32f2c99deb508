#include "FieldFormat.h"
#include "RapoError.h"

#include <gtest/gtest.h>
#include <ostream>

// Failures show texts readably, line breaks escaped.
static void PrintTo(const QString &text, std::ostream *out) {
    *out << '"'
         << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")).toStdString()
         << '"';
}

using FieldFormat::FormatColumn;

namespace {

const QString reference = QStringLiteral("100000000042");

std::optional<FormatColumn> column(const char *name, const QString &text, const char *label = "") {
    return FormatColumn{QString::fromUtf8(name), QString::fromUtf8(label), text};
}

// The message of a failure, or an empty text when the call returned.
QString failureOf(const std::optional<FormatColumn> &col, const QString &format,
                  const QString &prefix = {}) {
    try {
        FieldFormat::check(col, format, prefix, {}, reference);
    } catch (const RapoError &e) {
        return e.message();
    }
    return {};
}

struct Accepted {
    const char *what;
    std::optional<FormatColumn> column;
    QString format;
    QString prefix;
    QString suffix;
    QString expected;
};

// clang-format off
TEST(FieldFormat, AcceptedValuesAreCutAndRewritten) {
    const QString name55 = QStringLiteral("Nova Ljubljanska banka d.d., Ljubljana  Trg republike 2");
    ASSERT_EQ(name55.size(), 55);
    const std::vector<Accepted> cases = {
        {"short BIC is not padded", column("SWIFT_BPH", "LJBASI2X"), "11(x)", {}, {}, "LJBASI2X"},
        {"12 characters are cut to 11", column("NZV", "LJBASI2XABCD"), "11(x)", {}, {}, "LJBASI2XABC"},
        {"SWIFT columns are trimmed", column("NS_SWIFT", "  LJBASI2X  "), "11(x)", {}, {}, "LJBASI2X"},
        {"column names match in any case", column("Swift_Bph", " LJBASI2X "), "11(x)", {}, {}, "LJBASI2X"},
        {"other columns keep their blanks", column("KRTBNK", " AB "), "10(x)", {}, {}, " AB "},
        {"a long name keeps 40 characters", column("ImeInstrumenta", name55), "40(x)", {}, {}, name55.left(40)},
        {"a short name is unchanged", column("ImeInstrumenta", "Krka d.d. N"), "40(x)", {}, {}, "Krka d.d. N"},
        {"one letter", column("IndNakProd", "B"), "1(a)", {}, {}, "B"},
        {"beyond the width is cut unchecked", column("IndNakProd", "B1"), "1(a)", {}, {}, "B"},
        {"code page letters", column("TipInstr", QStringLiteral("ŠŽšžĆČ")), "6(a)", {}, {}, QStringLiteral("ŠŽšžĆČ")},
        {"suffix completes a classification", column("TipInstr", QStringLiteral("Đćčđ")), "6(a)", {}, "XX", QStringLiteral("ĐćčđXX")},
        {"well-formed ISIN", column("ISIN", "SI0031102120"), "2(a)9(x)1(n)", {}, {}, "SI0031102120"},
        {"ISIN trimmed and cut to 12", column("ISIN", "  si0031102120XYZ"), "2(a)9(x)1(n)", {}, {}, "si0031102120"},
        {"absent ISIN positions unexamined", column("ISIN", "SI00311"), "2(a)9(x)1(n)", {}, {}, "SI00311"},
        {"several groups never cut", column("Koda", "AB1XYZ"), "2(a)1(n)", {}, {}, "AB1XYZ"},
        {"ISIN placeholder", column("ISIN", "N"), "2(a)9(x)1(n)", {}, {}, "N"},
        {"ISIN placeholder, any format", column("ISIN", " N "), "1(d)", {}, {}, "N"},
        {"decimal comma", column("CenaEnote", "12,5"), "1(d)", {}, {}, "12.5"},
        {"whole number", column("Lot", "3"), "1(d)", {}, {}, "3"},
        {"five decimals at most", column("CenaEnote", "0.1234567"), "1(d)", {}, {}, "0.12346"},
        {"half rounds up as written", column("CenaEnote", "0.123455"), "1(d)", {}, {}, "0.12346"},
        {"rounding carries into the integer", column("CenaEnote", "99999.999996"), "1(d)", {}, {}, "100000"},
        {"zeros around go", column("CenaEnote", "007,250"), "1(d)", {}, {}, "7.25"},
        {"no integer digit", column("CenaEnote", ".5"), "1(d)", {}, {}, "0.5"},
        {"exponent", column("LotEms", "1,5E-2"), "1(d)", {}, {}, "0.015"},
        {"width of a number unused", column("LotEms", "1234567"), "1(d)", {}, {}, "1234567"},
        {"surrounding blanks", column("GlvNmn", " 4.20 "), "1(d)", {}, {}, "4.2"},
        {"tiny negative is plain zero", column("CenaEnote", "-0.000001"), "1(d)", {}, {}, "0"},
        {"smallest that rounds up", column("CenaEnote", "0.000005"), "1(d)", {}, {}, "0.00001"},
        {"beyond a double's precision", column("LotEms", "12345678901234567890.123456"), "1(d)", {}, {}, "12345678901234567890.12346"},
        {"offset as prefix", std::nullopt, "1(S)2(n)", "+01", {}, "+01"},
        {"absent second digit", std::nullopt, "1(S)2(n)", "+1", {}, "+1"},
        {"prefix before the column", column("INTINDINSTR", "234"), "10(n)", "1", {}, "1234"},
        {"eleven digits keep ten", column("INTINDINSTR", "12345678901"), "10(n)", {}, {}, "1234567890"},
        {"internal client code", column("KRTBNK", "ABC"), "10(x)", "0000000", {}, "0000000ABC"},
        {"unknown class leaves it alone", column("X", "a b c d e f"), "2(z)", {}, {}, "a b c d e f"},
    };
    for (const Accepted &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            EXPECT_EQ(FieldFormat::check(c.column, c.format, c.prefix, c.suffix, reference),
                      c.expected);
        } catch (const RapoError &e) {
            ADD_FAILURE() << e.message().toStdString();
        }
    }
}
// clang-format on

struct Rejected {
    const char *what;
    std::optional<FormatColumn> column;
    QString format;
    QString prefix;
    QString expected;
};

TEST(FieldFormat, RejectedValuesNameTransactionColumnValueAndFormat) {
    const QString head = QStringLiteral("Napaka: Za Ref.St.Transakcije 100000000042  ");
    const std::vector<Rejected> cases = {
        {"digit as a letter",
         column("IndNakProd", "1", "Indikator nakupa/prodaje"),
         "1(a)",
         {},
         "polje 'Indikator nakupa/prodaje\r\n' podatek '1' ni formata 1(a)!"},
        {"quoted value is the cut one",
         column("ZapisCene", "1X", "Zapis cene"),
         "1(a)",
         {},
         "polje 'Zapis cene\r\n' podatek '1' ni formata 1(a)!"},
        {"ISIN beginning with a digit",
         column("ISIN", "1I0031102120", "Identifikacija instrumenta ISIN"),
         "2(a)9(x)1(n)",
         {},
         "polje 'Identifikacija instrumenta ISIN\r\n' podatek '1I0031102120' ni formata "
         "2(a)9(x)1(n)!"},
        {"ISIN ending with a letter",
         column("ISIN", "SI003110212A", "Identifikacija instrumenta ISIN"),
         "2(a)9(x)1(n)",
         {},
         "polje 'Identifikacija instrumenta ISIN\r\n' podatek 'SI003110212A' ni formata "
         "2(a)9(x)1(n)!"},
        {"the placeholder only in the ISIN column",
         column("IntIndInstr", "N", "Interna identifikacija instrumenta"),
         "10(n)",
         {},
         "polje 'Interna identifikacija instrumenta\r\n' podatek 'N' ni formata 10(n)!"},
        {"a column without a label shows its name",
         column("Valuta", QStringLiteral("EÜR")),
         "3(a)",
         {},
         QStringLiteral("polje 'Valuta\r\n' podatek 'EÜR' ni formata 3(a)!")},
        {"the prefix is part of the value", column("IntIdent", "234"), "10(n)", "V",
         "polje 'IntIdent\r\n' podatek 'V234' ni formata 10(n)!"},
        {"negative number",
         column("CenaEnote", "-2", "Cena enote"),
         "1(d)",
         {},
         "polje 'Cena enote\r\n' podatek '-2' ni formata 1(d)!"},
        {"negative number is quoted rewritten",
         column("Lot", "-1,250", "Količina"),
         "1(d)",
         {},
         QStringLiteral("polje 'Količina\r\n' podatek '-1.25' ni formata 1(d)!")},
        {"offset without its sign", std::nullopt, "1(S)2(n)", "01",
         "polje TRG.OFFSET podatek '01' ni formata 1(S)2(n)!"},
        {"other formats without a column", std::nullopt, "12(n)", "10000000004A",
         "podatek '10000000004A' ni formata 12(n)!"},
    };
    for (const Rejected &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(failureOf(c.column, c.format, c.prefix), head + c.expected);
    }
}

TEST(FieldFormat, NonNumbersStopWithAConversionErrorNamingTheText) {
    for (const char *text : {"", "abc", "12a", "1.2.3", "1,2.5", "+", ".", "1e", "e5", "1 000",
                             "nan", "inf", "1e9999999999", "١٢"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(failureOf(column("IZVCEN", QString::fromUtf8(text)), QStringLiteral("1(d)")),
                  QStringLiteral("'") + QString::fromUtf8(text) +
                      QStringLiteral("' ni veljavno število"));
    }
}

TEST(FieldFormat, MalformedFormatTextsAreRefused) {
    for (const char *format :
         {"", "x", "(x)", "1(x", "1x)", "1(x)2", "1(xx)", "1()", "-1(x)", "99999999999(x)"}) {
        SCOPED_TRACE(format);
        EXPECT_EQ(failureOf(column("NZV", "abc"), QString::fromUtf8(format)),
                  QStringLiteral("Neveljaven zapis formata '") + QString::fromUtf8(format) +
                      QStringLiteral("'!"));
    }
}

TEST(FieldFormat, FormatToLengthPadsWithoutCutting) {
    struct Case {
        QString value;
        int length;
        QString pad;
        bool atFront;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"AB", 5, "X", false, "ABXXX"},      {"AB", 5, "X", true, "XXXAB"},
        {"ABCDEF", 5, "X", false, "ABCDEF"}, {"LJBASI2X", 11, "X", false, "LJBASI2XXXX"},
        {"AB", 5, "", false, "AB"},          {"AB", 5, "XY", false, "ABXYXY"},
        {"AB", 5, "XY", true, "XYXYAB"},     {"", 3, "0", true, "000"},
        {"AB", 0, "X", false, "AB"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.value + u'/' + QString::number(c.length) + u'/' + c.pad).toStdString());
        EXPECT_EQ(FieldFormat::padToLength(c.value, c.length, c.pad, c.atFront), c.expected);
    }
}

TEST(FieldFormat, RegistrationNumberIsBroughtToTenCharacters) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"5860571", "5860571000"},    {"58605", "5860500000"},        {"", "0000000000"},
        {"5860571123", "5860571123"}, {"58605711234", "58605711234"},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(FieldFormat::padRegistrationNumber(text), expected) << text.toStdString();
}

} // namespace
