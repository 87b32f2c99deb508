#include "HostSchema.h"

#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
using Dialect = HostSchema::Dialect;

// The script read back: its statements without the comments and each table's lines.
struct ReadScript {
    explicit ReadScript(const QString &text) : text(text) {
        QStringList live;
        for (const QString &line : text.split(u'\n'))
            (line.startsWith(QLatin1String("--")) ? comments : live) << line;
        statements = live.join(u'\n').split(u';');
        trailing = statements.takeLast().trimmed();
        for (QString &s : statements) {
            s = s.trimmed();
            if (!s.startsWith(QLatin1String("CREATE TABLE ")))
                continue;
            for (const QString &line : s.section(u'(', 1).chopped(1).split(u'\n')) {
                const QString item = line.trimmed().remove(QRegularExpression(",$"));
                const int words = item.startsWith(QLatin1String("CONSTRAINT ")) ? 2 : 1;
                if (!item.isEmpty())
                    tables[s.section(u' ', 2, 2)][item.section(u' ', 0, words - 1)] =
                        item.section(u' ', words).simplified();
            }
        }
    }
    qsizetype position(const QString &statement) const { return text.indexOf(statement + ";\n"); }

    QString text;
    QStringList comments;
    QStringList statements;
    QString trailing;
    // table -> column, or "CONSTRAINT name" -> the rest of its line
    QMap<QString, QMap<QString, QString>> tables;
};

QString names(const QStringList &list) {
    return list.join(", ").toUpper();
}

class HostSchemaScript : public ::testing::TestWithParam<Dialect> {};

TEST_P(HostSchemaScript, CreatesTheOwnTablesInTheHostsTypesAndRunsAsItStands) {
    const bool oracle = GetParam() == Dialect::Oracle;
    const ReadScript script(HostSchema(GetParam()).script());
    QStringList own;
    for (const Schema::Table &t : Schema::tables()) {
        if (t.host)
            continue;
        own << t.name.toUpper();
        const QMap<QString, QString> &columns = script.tables[t.name.toUpper()];
        for (const Schema::Column &c : t.columns) {
            const bool key = t.uniqueKey && t.key.contains(c.name, Qt::CaseInsensitive);
            const QString line = columns.value(c.name.toUpper());
            const QString type = line.section(u' ', 0, 0);
            SCOPED_TRACE(t.name.toStdString() + '.' + c.name.toStdString() + ' ' +
                         line.toStdString());
            EXPECT_EQ(line.endsWith(" NOT NULL"), c.required || key);
            const Schema::Digits &d = c.digits;
            const QString decimal = QString("(%1,%2)").arg(d.precision).arg(d.scale);
            if (c.type == Schema::ColumnType::Number || c.type == Schema::ColumnType::Whole)
                EXPECT_TRUE(oracle ? type == "NUMBER" + decimal
                                   : type == "DECIMAL" + decimal ||
                                         (d.scale == 0 &&
                                          type == (d.precision > 9 ? "BIGINT" : "INTEGER")));
            else if (c.type == Schema::ColumnType::Text)
                EXPECT_EQ(type, QString(oracle ? "VARCHAR2(%1" : "VARCHAR(%1)").arg(c.width));
            else
                EXPECT_TRUE(QStringList({"DATE", "TIMESTAMP", "TIME"}).contains(type));
        }
        EXPECT_EQ(columns.keys().filter(QRegularExpression("^\\S+$")).size(), t.columns.size());
        EXPECT_EQ(columns.value("CONSTRAINT " + t.name.toUpper() + "_PK"),
                  t.uniqueKey ? "PRIMARY KEY (" + names(t.key) + ')' : QString())
            << t.name.toStdString();
    }
    own.sort();
    EXPECT_EQ(QStringList(script.tables.keys()), own) << "no host table";
    EXPECT_TRUE(script.trailing.isEmpty()) << script.trailing.toStdString();
    EXPECT_EQ(script.statements.filter(QRegularExpression("^CREATE ")), script.statements);
    EXPECT_EQ(script.comments.filter(QRegularExpression("[;&]")), QStringList());
    for (const char *embeddedOnly :
         {"\\bDATETIME\\b", "\\bNUMERIC\\b", "\\bNUMBER\\b(?!\\()", "\\bDECIMAL\\b(?!\\()"})
        EXPECT_EQ(script.statements.filter(QRegularExpression(embeddedOnly)), QStringList());
}

TEST_P(HostSchemaScript, HasTheUniqueConstraintsIndexesAndSequences) {
    const bool oracle = GetParam() == Dialect::Oracle;
    const ReadScript script(HostSchema(GetParam()).script());
    const qsizetype shared = script.text.indexOf("SAMO KJER JIH GOSTITELJ ŠE NIMA");
    int unique = 0;
    for (const Schema::Index &index : Schema::indexes()) {
        const Schema::Table &t = Schema::table(index.table);
        const QString on = index.name.toUpper() + " ON " + index.table.toUpper() + " (" +
                           names(index.columns) + ')';
        if (!index.unique) {
            EXPECT_EQ(script.statements.contains("CREATE INDEX " + on), !t.host);
            EXPECT_EQ(script.comments.contains("--   CREATE INDEX " + on), t.host);
            continue;
        }
        ++unique;
        const bool nullable = std::any_of(index.columns.begin(), index.columns.end(),
                                          [&](const QString &c) { return !t.column(c)->required; });
        const bool constraint =
            script.tables[index.table.toUpper()].value("CONSTRAINT " + index.name.toUpper()) ==
            "UNIQUE (" + names(index.columns) + ')';
        EXPECT_EQ(constraint, oracle || !nullable) << on.toStdString();
        EXPECT_EQ(script.statements.contains("CREATE UNIQUE INDEX " + on + " EXCLUDE NULL KEYS"),
                  !constraint)
            << on.toStdString();
    }
    EXPECT_GE(unique, 3) << "the report's file, a trade's rows, the EMIR report numbers";
    for (const Schema::Sequence &sequence : Schema::sequences()) {
        const qsizetype at =
            script.position("CREATE SEQUENCE " + sequence.name + (oracle ? "" : " AS BIGINT") +
                            " START WITH 1 INCREMENT BY 1" + (oracle ? " NOCYCLE" : " NO CYCLE"));
        ASSERT_GE(at, 0) << sequence.name.toStdString();
        EXPECT_EQ(at > shared, Schema::table(sequence.table).shared) << sequence.name.toStdString();
    }
    EXPECT_GT(script.text.indexOf("CREATE TABLE ACT ("), shared);
    EXPECT_LT(script.text.indexOf("CREATE TABLE EMIRPOSEL ("), shared);
}

INSTANTIATE_TEST_SUITE_P(Dialects, HostSchemaScript,
                         ::testing::Values(Dialect::Oracle, Dialect::Db2), [](const auto &info) {
                             return info.param == Dialect::Oracle ? "Oracle" : "Db2";
                         });

TEST(HostSchema, IdentitiesHold18DigitsPricesAndQuantitiesFractions) {
    const struct {
        const char *table, *column, *oracle, *db2;
    } cases[] = {
        {"DPATVPPSL", "IDREFATVP", "NUMBER(18,0)", "BIGINT"},
        {"DPATVPIMP", "REFSTTRANSA", "NUMBER(18,0)", "BIGINT"},
        {"DPATVPIMP", "CENA", "NUMBER(28,10)", "DECIMAL(28,10)"},
        {"DPATVPIMP", "KOL", "NUMBER(28,10)", "DECIMAL(28,10)"},
        {"DPATVP_SFVP", "LOTEMS", "NUMBER(28,10)", "DECIMAL(28,10)"},
        {"DPATVP", "STATUS", "NUMBER(9,0)", "INTEGER"},
        {"DPATVP", "DANPOROCANJA", "DATE", "TIMESTAMP"},
        {"DPATVP_SFVP", "DANSPR_SFVP", "DATE", "DATE"},
        {"DPATVP", "XML_FILE", "VARCHAR2(30 CHAR)", "VARCHAR(30)"},
    };
    for (const auto &c : cases) {
        const Schema::Column *column = Schema::table(c.table).column(c.column);
        ASSERT_NE(column, nullptr) << c.column;
        EXPECT_EQ(HostSchema(Dialect::Oracle).columnType(*column), c.oracle) << c.column;
        EXPECT_EQ(HostSchema(Dialect::Db2).columnType(*column), c.db2) << c.column;
    }
}
} // namespace
