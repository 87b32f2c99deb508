#include "HostSchema.h"

#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
using Dialect = HostSchema::Dialect;

// The script read back: its statements without the comments, each table's column lines, and
// where the section for hosts that lack the shared objects begins.
struct ReadScript {
    explicit ReadScript(const QString &text) : text(text) {
        QStringList live;
        for (const QString &line : text.split(u'\n')) {
            if (line.startsWith(QLatin1String("--")))
                comments << line;
            else
                live << line;
        }
        const QStringList pieces = live.join(u'\n').split(u';');
        trailing = pieces.last().trimmed();
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
            statements << pieces[i].trimmed();
        for (const QString &s : statements) {
            if (!s.startsWith(QLatin1String("CREATE TABLE ")))
                continue;
            const QString table = s.section(u' ', 2, 2);
            const QStringList body = s.section(u'(', 1).chopped(1).split(u'\n');
            for (QString line : body) {
                line = line.trimmed();
                if (line.endsWith(u','))
                    line.chop(1);
                if (line.isEmpty())
                    continue;
                if (line.startsWith(QLatin1String("CONSTRAINT ")))
                    constraints[table] << line;
                else
                    columns[table][line.section(u' ', 0, 0)] = line.section(u' ', 1).simplified();
            }
        }
        sharedSection = text.indexOf(QStringLiteral("SAMO KJER JIH GOSTITELJ ŠE NIMA"));
    }
    qsizetype position(const QString &statement) const { return text.indexOf(statement + u'\n'); }

    QString text;
    QStringList comments;
    QStringList statements;
    QString trailing;
    QMap<QString, QMap<QString, QString>> columns; // table -> column -> type [NOT NULL]
    QMap<QString, QStringList> constraints;
    qsizetype sharedSection = -1;
};

QString expectedType(const Schema::Column &c, Dialect d) {
    const bool oracle = d == Dialect::Oracle;
    switch (c.type) {
    case Schema::ColumnType::Number:
    case Schema::ColumnType::Whole:
        if (oracle)
            return QStringLiteral("NUMBER(%1,%2)").arg(c.digits.precision).arg(c.digits.scale);
        if (c.digits.scale == 0)
            return c.digits.precision <= 9 ? "INTEGER" : "BIGINT";
        return QStringLiteral("DECIMAL(%1,%2)").arg(c.digits.precision).arg(c.digits.scale);
    case Schema::ColumnType::Text:
        return oracle ? QStringLiteral("VARCHAR2(%1 CHAR)").arg(c.width)
                      : QStringLiteral("VARCHAR(%1)").arg(c.width);
    case Schema::ColumnType::Date:
        return "DATE";
    case Schema::ColumnType::DateTime:
        return oracle ? "DATE" : "TIMESTAMP";
    case Schema::ColumnType::Time:
        return oracle ? "DATE" : "TIME";
    }
    return {};
}

QString upperList(const QStringList &names) {
    return names.join(", ").toUpper();
}

class HostSchemaScript : public ::testing::TestWithParam<Dialect> {};

TEST_P(HostSchemaScript, CreatesEveryOwnTableWithItsColumnsAndKeyInTheHostsTypes) {
    const ReadScript script(HostSchema(GetParam()).script());
    QStringList own;
    for (const Schema::Table &t : Schema::tables()) {
        if (t.host) {
            EXPECT_FALSE(script.columns.contains(t.name.toUpper())) << t.name.toStdString();
            continue;
        }
        own << t.name.toUpper();
        const QMap<QString, QString> columns = script.columns.value(t.name.toUpper());
        ASSERT_EQ(columns.size(), t.columns.size()) << t.name.toStdString();
        for (const Schema::Column &c : t.columns) {
            const bool keyColumn = t.uniqueKey && t.key.contains(c.name, Qt::CaseInsensitive);
            EXPECT_EQ(columns.value(c.name.toUpper()),
                      expectedType(c, GetParam()) +
                          (c.required || keyColumn ? QString(" NOT NULL") : QString()))
                << t.name.toStdString() << '.' << c.name.toStdString();
        }
        const QString key = t.name.toUpper() + "_PK PRIMARY KEY (" + upperList(t.key) + ')';
        EXPECT_EQ(script.constraints.value(t.name.toUpper()).contains("CONSTRAINT " + key),
                  t.uniqueKey)
            << t.name.toStdString();
    }
    own.sort();
    EXPECT_EQ(QStringList(script.columns.keys()), own) << "only the program's own tables";
}

TEST_P(HostSchemaScript, HasTheUniqueConstraintsIndexesAndSequences) {
    const bool oracle = GetParam() == Dialect::Oracle;
    const ReadScript script(HostSchema(GetParam()).script());
    ASSERT_GT(script.sharedSection, 0);
    int unique = 0;
    for (const Schema::Index &index : Schema::indexes()) {
        const Schema::Table &t = Schema::table(index.table);
        const QString on = index.table.toUpper() + " (" + upperList(index.columns) + ')';
        const QString create = "CREATE INDEX " + index.name.toUpper() + " ON " + on;
        if (t.host) {
            EXPECT_TRUE(script.comments.contains("--   " + create)) << create.toStdString();
            EXPECT_FALSE(script.statements.contains(create));
            continue;
        }
        if (!index.unique) {
            EXPECT_TRUE(script.statements.contains(create)) << create.toStdString();
            continue;
        }
        ++unique;
        const bool nullable = std::any_of(index.columns.begin(), index.columns.end(),
                                          [&](const QString &c) { return !t.column(c)->required; });
        const QString constraint =
            "CONSTRAINT " + index.name.toUpper() + " UNIQUE (" + upperList(index.columns) + ')';
        const QString db2Index =
            "CREATE UNIQUE INDEX " + index.name.toUpper() + " ON " + on + " EXCLUDE NULL KEYS";
        const bool asConstraint = oracle || !nullable;
        EXPECT_EQ(script.constraints.value(index.table.toUpper()).contains(constraint),
                  asConstraint)
            << constraint.toStdString();
        EXPECT_EQ(script.statements.contains(db2Index), !asConstraint) << db2Index.toStdString();
    }
    EXPECT_GE(unique, 3) << "XML_FILE, a trade's rows, the EMIR report numbers";
    for (const Schema::Sequence &sequence : Schema::sequences()) {
        const QString create = "CREATE SEQUENCE " + sequence.name + (oracle ? "" : " AS BIGINT") +
                               " START WITH 1 INCREMENT BY 1" + (oracle ? " NOCYCLE" : " NO CYCLE");
        ASSERT_TRUE(script.statements.contains(create)) << create.toStdString();
        EXPECT_EQ(script.position(create + ';') > script.sharedSection,
                  Schema::table(sequence.table).shared)
            << create.toStdString();
    }
    EXPECT_GT(script.position("CREATE TABLE ACT ("), script.sharedSection);
    EXPECT_LT(script.position("CREATE TABLE EMIRPOSEL ("), script.sharedSection);
}

TEST_P(HostSchemaScript, RunsAsItStandsInTheHostsCommandLineTool) {
    const ReadScript script(HostSchema(GetParam()).script());
    EXPECT_TRUE(script.trailing.isEmpty())
        << "after the last ';': " << script.trailing.toStdString();
    for (const QString &statement : script.statements)
        EXPECT_TRUE(statement.startsWith("CREATE ")) << statement.toStdString();
    for (const QString &line : script.comments)
        EXPECT_FALSE(line.contains(u';') || line.contains(u'&')) << line.toStdString();
    const QString live = script.statements.join('\n');
    for (const char *embeddedOnly : {"\\bDATETIME\\b", "\\bNUMERIC\\b", "\\bNUMBER\\b(?!\\()",
                                     "\\bDECIMAL\\b(?!\\()", "\\bVARCHAR2?\\b(?!\\()"})
        EXPECT_FALSE(live.contains(QRegularExpression(embeddedOnly))) << embeddedOnly;
}

INSTANTIATE_TEST_SUITE_P(Dialects, HostSchemaScript,
                         ::testing::Values(Dialect::Oracle, Dialect::Db2), [](const auto &info) {
                             return info.param == Dialect::Oracle ? "Oracle" : "Db2";
                         });

struct ChosenType {
    const char *table;
    const char *column;
    const char *oracle;
    const char *db2;
};

TEST(HostSchema, IdentitiesHold18DigitsPricesAndQuantitiesFractions) {
    const ChosenType cases[] = {
        {"DPATVPPSL", "IDREFATVP", "NUMBER(18,0)", "BIGINT"},
        {"DPATVPIMP", "REFSTTRANSA", "NUMBER(18,0)", "BIGINT"},
        {"DPATVP_SFVP", "SFVP_VEK", "NUMBER(18,0)", "BIGINT"},
        {"DPATVPIMP", "CENA", "NUMBER(28,10)", "DECIMAL(28,10)"},
        {"DPATVPIMP", "KOL", "NUMBER(28,10)", "DECIMAL(28,10)"},
        {"DPATVP_SFVP", "LOTEMS", "NUMBER(28,10)", "DECIMAL(28,10)"},
        {"DPATVP", "STATUS", "NUMBER(9,0)", "INTEGER"},
        {"DPATVP", "DANPOROCANJA", "DATE", "TIMESTAMP"},
        {"DPATVP_SFVP", "DANSPR_SFVP", "DATE", "DATE"},
        {"DPATVP", "XML_FILE", "VARCHAR2(30 CHAR)", "VARCHAR(30)"},
    };
    for (const ChosenType &c : cases) {
        const Schema::Column *column = Schema::table(c.table).column(c.column);
        ASSERT_NE(column, nullptr) << c.column;
        EXPECT_EQ(HostSchema(Dialect::Oracle).columnType(*column), c.oracle) << c.column;
        EXPECT_EQ(HostSchema(Dialect::Db2).columnType(*column), c.db2) << c.column;
    }
}

TEST(HostSchema, KnowsTheTwoHostsByNameInAnyCase) {
    EXPECT_EQ(HostSchema::dialectNamed("ORACLE"), Dialect::Oracle);
    EXPECT_EQ(HostSchema::dialectNamed("db2"), Dialect::Db2);
    EXPECT_EQ(HostSchema::dialectNamed("MSSQL"), std::nullopt);
    EXPECT_EQ(HostSchema::dialectNamed(""), std::nullopt);
}
} // namespace
