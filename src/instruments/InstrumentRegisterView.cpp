#include "InstrumentRegisterView.h"

#include "DataSet.h"
#include "Session.h"

namespace {
const QString registerTable = QStringLiteral("DPATVP_SFVP");

FieldDef field(const char *name, FieldDef::Type type, int width, bool visible,
               const char *caption = "") {
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.caption = QString::fromUtf8(caption);
    f.type = type;
    f.width = width;
    f.visible = visible;
    return f;
}

std::vector<FieldDef> listFields() {
    using T = FieldDef::Type;
    std::vector<FieldDef> fields = {
        field("ISIN", T::Text, 14, true, "ISIN"),
        field("SFVP_POROCANJE", T::Whole, 8, true, "Poročana šifra VP"),
        field("SFVP_OLD", T::Whole, 8, true, "Prejšnja poročana šifra VP"),
        field("DANSPR", T::DateTime, 0, true, "Datum spremembe"),
    };
    // Loaded for the editing of a row, not shown.
    const QList<QPair<const char *, T>> hidden = {
        {"AII_MIC", T::Text},
        {"AII_PRODUCT", T::Text},
        {"AII_CFI", T::Text},
        {"AII_EXPIRY", T::DateTime},
        {"AII_STRIKEPRICE", T::Number},
        {"IZD", T::Text},
        {"DRZ_IZD", T::Text},
        {"GLVNMN", T::Number},
        {"VLT", T::Text},
        {"LOTEMS", T::Number},
        {"USRSPR", T::Text},
        {"XML", T::Text},
        {"SFVP_VEK", T::Whole},
        {"DANSPR_SFVP", T::Date},
    };
    for (const auto &[name, type] : hidden)
        fields.push_back(field(name, type, 0, false));
    return fields;
}
} // namespace

InstrumentRegisterView::InstrumentRegisterView(Session &session)
    : qDPATVP_SFVP(session.db, QStringLiteral("qDPATVP_SFVP")), sort_(defaultSort()) {
    qDPATVP_SFVP.setFields(listFields());
}

QStringList InstrumentRegisterView::statementLines() {
    return {
        QStringLiteral("select * from DPATVP_SFVP F1 "),
        QStringLiteral("where ((F1.DANSPR=(select max(DANSPR) FROM DPATVP_SFVP WHERE "
                       "ISIN=F1.ISIN) AND F1.ISIN in (select isin from DPATVP_SFVP GROUP BY ISIN "
                       "HAVING COUNT(*)>1))"),
        QStringLiteral("OR ((F1.ISIN in (select isin from SFVP WHERE (ZPDVP IS NULL OR "
                       "ZPDVP>CURRENT_DATE) GROUP BY ISIN HAVING COUNT(*)>1)) AND (F1.ISIN not "
                       "in (select isin from DPATVP_SFVP GROUP BY ISIN HAVING COUNT(*)>1)))"),
        QStringLiteral("OR (F1.SFVP_POROCANJE IS NULL))"),
        QStringLiteral("AND ISIN LIKE :ISIN"),
    };
}

SortDefinition InstrumentRegisterView::defaultSort() {
    return SortDefinition{
        QStringLiteral("Default"),
        {{registerTable, QStringLiteral("ISIN")}, {registerTable, QStringLiteral("DANSPR"), true}}};
}

void InstrumentRegisterView::setSort(const SortDefinition &sort) {
    sort_ = sort;
}

QString InstrumentRegisterView::orderLine() const {
    QStringList columns;
    for (const SortColumn &c : sort_.columns) {
        const bool ownColumn =
            c.table.isEmpty() || c.table.compare(registerTable, Qt::CaseInsensitive) == 0;
        columns << (ownColumn ? QStringLiteral("F1.") : QString()) + c.column +
                       (c.descending ? QStringLiteral(" DESC") : QString());
    }
    return columns.isEmpty() ? QString()
                             : QStringLiteral(" ORDER BY ") + columns.join(QStringLiteral(", "));
}

void InstrumentRegisterView::reopen(const QString &filter) {
    qDPATVP_SFVP.close();
    QStringList lines = statementLines();
    if (const QString order = orderLine(); !order.isEmpty())
        lines << order;
    qDPATVP_SFVP.setText(lines.join(u'\n'));
    qDPATVP_SFVP.setString(QStringLiteral("ISIN"), filter + u'%');
    qDPATVP_SFVP.open();
}

void InstrumentRegisterView::rowColors(const DataSet &list, CellColors &colors) {
    if (list.isNull(QStringLiteral("SFVP_POROCANJE")))
        colors.font = QColor(Qt::red);
    if (!list.isNull(QStringLiteral("SFVP_OLD")))
        colors.font = QColor(192, 192, 192);
}

int InstrumentRegisterView::openChoices(Session &session) {
    Query q(session.db);
    q.setText(QStringLiteral("select count(*) as Odprte from DPATVP_SFVP where SFVP_POROCANJE IS "
                             "NULL AND ISIN LIKE :ISIN"));
    q.setString(QStringLiteral("ISIN"), QStringLiteral("%"));
    q.open();
    return static_cast<int>(q.asInteger(QStringLiteral("Odprte")));
}

QStringList InstrumentRegisterView::openChoiceIsins(Session &session) {
    Query q(session.db);
    q.setText(QStringLiteral("select distinct upper(ISIN) as ISIN from DPATVP_SFVP where "
                             "SFVP_POROCANJE IS NULL order by 1"));
    q.open();
    QStringList isins;
    for (; !q.eof(); q.next())
        isins << q.asString(QStringLiteral("ISIN"));
    return isins;
}
