#include "HostSchema.h"

#include "DbError.h"

#include <algorithm>

namespace {
const QString separator(70, u'=');

QString upperList(const QStringList &names) {
    return names.join(QStringLiteral(", ")).toUpper();
}

bool hasPrimaryKey(const Schema::Table &table) {
    return !table.key.isEmpty() && table.uniqueKey;
}

// The hosts keep no null in a primary key.
bool notNull(const Schema::Table &table, const Schema::Column &column) {
    return column.required ||
           (hasPrimaryKey(table) && table.key.contains(column.name, Qt::CaseInsensitive));
}

bool anyNullable(const Schema::Table &table, const QStringList &columns) {
    return std::any_of(columns.cbegin(), columns.cend(), [&](const QString &name) {
        const Schema::Column *column = table.column(name);
        return column && !notNull(table, *column);
    });
}

QString comment(const QStringList &lines) {
    QString text;
    for (const QString &line : lines)
        text += (line.isEmpty() ? QStringLiteral("--") : QStringLiteral("-- ") + line) + u'\n';
    return text;
}
} // namespace

std::optional<HostSchema::Dialect> HostSchema::dialectNamed(const QString &name) {
    if (name.compare(QLatin1String("ORACLE"), Qt::CaseInsensitive) == 0)
        return Dialect::Oracle;
    if (name.compare(QLatin1String("DB2"), Qt::CaseInsensitive) == 0)
        return Dialect::Db2;
    return std::nullopt;
}

QString HostSchema::numberType(const Schema::Column &column) const {
    const Schema::Digits &d = column.digits;
    if (d.precision <= 0)
        throw DbError(QStringLiteral("Stolpec ") + column.name +
                      QStringLiteral(" nima določenega števila mest."));
    if (dialect_ == Dialect::Oracle)
        return QStringLiteral("NUMBER(%1,%2)").arg(d.precision).arg(d.scale);
    // DB2's integer types read back as integers through ODBC, its DECIMAL as text.
    if (d.scale == 0 && d.precision <= 9)
        return QStringLiteral("INTEGER");
    if (d.scale == 0 && d.precision <= 18)
        return QStringLiteral("BIGINT");
    return QStringLiteral("DECIMAL(%1,%2)").arg(d.precision).arg(d.scale);
}

QString HostSchema::columnType(const Schema::Column &column) const {
    const bool oracle = dialect_ == Dialect::Oracle;
    switch (column.type) {
    case Schema::ColumnType::Number:
    case Schema::ColumnType::Whole:
        return numberType(column);
    case Schema::ColumnType::Text:
        // Oracle counts characters only when told; a Slovenian letter takes two bytes.
        return oracle ? QStringLiteral("VARCHAR2(%1 CHAR)").arg(column.width)
                      : QStringLiteral("VARCHAR(%1)").arg(column.width);
    case Schema::ColumnType::Date:
        return QStringLiteral("DATE");
    case Schema::ColumnType::DateTime:
        // Oracle's DATE holds the time to the second, all the program writes. It is the type of
        // the host's own date-times, so comparisons with them, TRUNC and day arithmetic such as
        // DANSPR-0.001 stay in DATE; a TIMESTAMP would turn them into conversions.
        return oracle ? QStringLiteral("DATE") : QStringLiteral("TIMESTAMP");
    case Schema::ColumnType::Time:
        // Oracle has no time of day; its DATE carries one.
        return oracle ? QStringLiteral("DATE") : QStringLiteral("TIME");
    }
    return {};
}

QString HostSchema::createTable(const Schema::Table &table) const {
    qsizetype nameWidth = 0;
    for (const Schema::Column &c : table.columns)
        nameWidth = std::max(nameWidth, c.name.size());
    QStringList lines;
    for (const Schema::Column &c : table.columns)
        lines << QStringLiteral("    ") + c.name.toUpper().leftJustified(nameWidth) + u' ' +
                     columnType(c) + (notNull(table, c) ? QStringLiteral(" NOT NULL") : QString());
    if (hasPrimaryKey(table))
        lines << QStringLiteral("    CONSTRAINT ") + table.name.toUpper() +
                     QStringLiteral("_PK PRIMARY KEY (") + upperList(table.key) + u')';
    QStringList after;
    for (const Schema::Index &index : Schema::indexes()) {
        if (index.table.compare(table.name, Qt::CaseInsensitive) != 0)
            continue;
        const QString columns = upperList(index.columns);
        // DB2 allows a unique constraint only on columns that are never null; its unique index
        // without null keys treats a null as Oracle's and SQLite's constraints do.
        if (index.unique && (dialect_ == Dialect::Oracle || !anyNullable(table, index.columns)))
            lines << QStringLiteral("    CONSTRAINT ") + index.name.toUpper() +
                         QStringLiteral(" UNIQUE (") + columns + u')';
        else if (index.unique)
            after << QStringLiteral("CREATE UNIQUE INDEX ") + index.name.toUpper() +
                         QStringLiteral(" ON ") + table.name.toUpper() + QStringLiteral(" (") +
                         columns + QStringLiteral(") EXCLUDE NULL KEYS;");
        else
            after << QStringLiteral("CREATE INDEX ") + index.name.toUpper() +
                         QStringLiteral(" ON ") + table.name.toUpper() + QStringLiteral(" (") +
                         columns + QStringLiteral(");");
    }
    QString text = QStringLiteral("CREATE TABLE ") + table.name.toUpper() + QStringLiteral(" (\n") +
                   lines.join(QStringLiteral(",\n")) + QStringLiteral("\n);\n");
    for (const QString &statement : after)
        text += statement + u'\n';
    return text;
}

QString HostSchema::createSequence(const Schema::Sequence &sequence) const {
    // DB2's sequences count in INTEGER unless told; the identities reach 18 digits.
    return QStringLiteral("CREATE SEQUENCE ") + sequence.name.toUpper() +
           (dialect_ == Dialect::Db2 ? QStringLiteral(" AS BIGINT") : QString()) +
           QStringLiteral(" START WITH 1 INCREMENT BY 1") +
           (dialect_ == Dialect::Db2 ? QStringLiteral(" NO CYCLE;\n")
                                     : QStringLiteral(" NOCYCLE;\n"));
}

QString HostSchema::script() const {
    const bool oracle = dialect_ == Dialect::Oracle;
    QString text;
    if (oracle)
        text += comment({QStringLiteral("RAPO: lastne tabele programa v zbirki Oracle."),
                         QStringLiteral("Skripto izpiše \"rapo --host-schema ORACLE\" iz opisa "
                                        "tabel, po katerem dela program."),
                         QStringLiteral("Zaženite jo v shemi s tabelami VEK (PSL, SFVP, ...):"),
                         QStringLiteral("  sqlplus UPORABNIK@BAZA @rapo-oracle.sql"),
                         QStringLiteral("Datumi s časom so tipa DATE, ki hrani čas na sekundo.")});
    else
        text += comment(
            {QStringLiteral("RAPO: lastne tabele programa v zbirki DB2."),
             QStringLiteral("Skripto izpiše \"rapo --host-schema DB2\" iz opisa tabel, po katerem "
                            "dela program."),
             QStringLiteral("Zaženite jo v shemi s tabelami VEK (PSL, SFVP, ...):"),
             QStringLiteral("  db2 connect to BAZA user UPORABNIK"),
             QStringLiteral("  db2 -tvf rapo-db2.sql"),
             QStringLiteral("V zbirki Unicode štejejo širine VARCHAR bajte (č, š in ž zasedejo "
                            "po dva)."),
             QStringLiteral("Da štejejo znake, pred zagonom nastavite parameter zbirke "
                            "STRING_UNITS na CODEUNITS32.")});

    std::vector<const Schema::Table *> shared;
    text += u'\n' + comment({QStringLiteral("Tabele programa")});
    for (const Schema::Table &table : Schema::tables()) {
        if (table.host)
            continue;
        if (table.shared) {
            shared.push_back(&table);
            continue;
        }
        text += u'\n' + createTable(table);
    }
    const auto sharedTable = [](const QString &name) { return Schema::table(name).shared; };
    text += u'\n' + comment({QStringLiteral("Zaporedja za identitete")});
    for (const Schema::Sequence &sequence : Schema::sequences())
        if (!sharedTable(sequence.table))
            text += createSequence(sequence);

    QStringList recommended;
    for (const Schema::Index &index : Schema::indexes())
        if (Schema::table(index.table).host)
            recommended << QStringLiteral("  CREATE INDEX ") + index.name.toUpper() +
                               QStringLiteral(" ON ") + index.table.toUpper() +
                               QStringLiteral(" (") + upperList(index.columns) + u')';
    text += u'\n' +
            comment(QStringList{QStringLiteral("Tabel gostitelja skripta ne ustvari in ne "
                                               "spreminja. Poizvedbe programa"),
                                QStringLiteral("pospešijo ti indeksi, kjer jih gostitelj še nima "
                                               "(priporočilo skrbniku zbirke):")} +
                    recommended);

    text += u'\n' + comment({separator, QStringLiteral("SAMO KJER JIH GOSTITELJ ŠE NIMA"),
                             QStringLiteral("Tabelo in zaporedje spodaj si program deli z drugimi "
                                            "aplikacijami VEK."),
                             QStringLiteral("Kjer že obstajata, ta del izpustite (ukaza sicer "
                                            "javita, da ime že obstaja)."),
                             separator});
    if (!oracle)
        text += comment({QStringLiteral("Vrstica ACT (Cnt ima 4000 znakov) je daljša od 4 KB: brez "
                                        "razširjenih vrstic"),
                         QStringLiteral("(EXTENDED_ROW_SZ) potrebuje prostor tabel s stranmi "
                                        "vsaj 8 KB.")});
    for (const Schema::Table *table : shared)
        text += u'\n' + createTable(*table);
    text += u'\n';
    for (const Schema::Sequence &sequence : Schema::sequences())
        if (sharedTable(sequence.table))
            text += createSequence(sequence);
    return text;
}
