#include "ImportView.h"

#include "FieldDef.h"
#include "Session.h"
#include "SqlDialect.h"

#include <algorithm>

namespace {
// `instruments`: the condition on S.SFVP. A coupon period is read as the largest principal of
// the periods that cover the day, so two overlapping periods still give one value.
QString calculatedSqlWhere(const QString &instruments, bool isDb2) {
    return SqlDialect::adaptNvl(
        QStringLiteral(
            "select S.SFVP, S.ISIN, S.SFGLVENT, (select max(MIC) from trg where sftrg=(select "
            "max(sftrg) from ktc where sfktc=(select max(sfktc) from ktc where sfvp=S.SFVP and "
            "(danprk is null or danprk>:DatumDo)))) as Trg_MIC, S.IZVCEN, S.ZPDVP, S.CFI, (select "
            "max(NVL(GLV, 0)) from kpn where sfvp=S.SFVP and (((prvdan<:DatumDo) or "
            "((prvdan=:DatumDo) and (sfobm in ('>','=')))) and ((zdnDan>:DatumDo) or "
            "((zdnDan=:DatumDo) and (sfobm in ('<','=')))))) as KPN_GLV from SFVP S where ") +
            instruments,
        isDb2);
}

QString markers(const QString &prefix, int count) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << u':' + prefix + QString::number(i);
    return out.join(QStringLiteral(", "));
}
} // namespace

ImportView::ImportView(Session &session)
    : session_(session), fDPATVPIMP_(session.db, QStringLiteral("DPATVPIMP")),
      qSFVPDodPodaci_(session.db, QStringLiteral("qSFVPDodPodaci")) {
    fDPATVPIMP_.setCurrentKey(QStringLiteral("Datum"));
    fDPATVPIMP_.setFields(fields());
    qSFVPDodPodaci_.setText(calculatedSqlWhere(QStringLiteral("sfvp=:sfvp"), session.isDb2()));
    fDPATVPIMP_.setCalcFields([this](const DataSet &ds, DataSet::Row &row) {
        const auto values =
            calculated(row[ds.columnIndex(QStringLiteral("INTINDINSTR"))].toLongLong(), day_);
        const QStringList names = {"Trg_MIC", "IZVCEN", "ZPDVP", "CFI", "KPN_GLV"};
        for (int i = 0; i < 5; ++i)
            row[ds.columnIndex(names[i])] = values[size_t(i)];
    });
}

void ImportView::show(const QDate &day) {
    day_ = day;
    calculated_.clear();
    fDPATVPIMP_.setKeyValue(QDateTime(day, QTime(0, 0)));
}

const QStringList &ImportView::columnNames() {
    static const QStringList names = {
        "IDIMP",     "DATUM",       "CAS",         "CASPAS",     "INDNAKPRO",  "TRGZMO",
        "ISIN",      "KRTVP",       "CENA",        "ZAPCENE",    "VAL",        "KOL",
        "NASSTR",    "OZNNASSTR",   "KLIENT",      "OZNKLIENTA", "IDENTMESTA", "OZNMESTA",
        "RAZTRANSA", "REFSTTRANSA", "INTINDINSTR", "Trg_MIC",    "IZVCEN",     "ZPDVP",
        "CFI",       "KPN_GLV",     "DPATVPID"};
    return names;
}

std::vector<FieldDef> ImportView::fields() {
    using T = FieldDef::Type;
    const auto text = [](const char *name, const char *caption, int size) {
        return FieldDef{name, T::Text, caption, size, true, {}, false, size};
    };
    return {
        {"IDIMP", T::Whole, "ID Importa"},
        {"DATUM", T::Date, "Datum transakcije"},
        {"CAS", T::DateTime, "Čas transakcije", 19},
        text("CASPAS", "Časovni pas", 3),
        text("INDNAKPRO", "Indikator nakupa/prodaje", 1),
        text("TRGZMO", "Trgovalna zmogljivost", 1),
        text("ISIN", "Identifikacija instrumenta ISIN", 12),
        text("KRTVP", "Kratica VP", 40),
        {"CENA", T::Number, "Cena enote"},
        text("ZAPCENE", "Zapis cene", 1),
        text("VAL", "Valuta", 3),
        {"KOL", T::Number, "Količina"},
        text("NASSTR", "Nasprotna stranka", 11),
        text("OZNNASSTR", "Oznaka nasprotne stranke", 3),
        text("KLIENT", "Klient", 11),
        text("OZNKLIENTA", "Oznaka klienta", 8),
        text("IDENTMESTA", "Identifikacija mesta", 20),
        text("OZNMESTA", "Oznaka identifikacije mesta", 4),
        text("RAZTRANSA", "Razveljavitvena zastavica", 1),
        {"REFSTTRANSA", T::Whole, "Referenčna številka transakcije"},
        {"INTINDINSTR", T::Whole},
        {"Trg_MIC", T::Text, {}, 0, true, {}, true},
        {"IZVCEN", T::Number, {}, 0, true, {}, true},
        {"ZPDVP", T::Date, {}, 0, true, {}, true},
        {"CFI", T::Text, {}, 0, true, {}, true},
        {"KPN_GLV", T::Number, {}, 0, true, {}, true},
        {"DPATVPID", T::Whole},
    };
}

QString ImportView::calculatedSql(int instruments, bool isDb2) {
    return calculatedSqlWhere(
        QStringLiteral("S.SFVP IN (") + markers(QStringLiteral("V"), instruments) + u')', isDb2);
}

std::array<QVariant, 5> ImportView::calculatedValues(const Query &q) {
    std::array<QVariant, 5> values;
    const QString isin = q.asString(QStringLiteral("ISIN"));
    const QString cfi = q.asString(QStringLiteral("CFI"));
    if ((isin.isEmpty() || isin == u"N") && (cfi.startsWith(u'O') || cfi.startsWith(u'F'))) {
        values[0] = q.asString(QStringLiteral("Trg_MIC"));
        values[1] = q.asFloat(QStringLiteral("IZVCEN"));
        if (!q.isNull(QStringLiteral("ZPDVP")))
            values[2] = q.asDateTime(QStringLiteral("ZPDVP"));
        values[3] = cfi;
        values[4] = q.asFloat(QStringLiteral("KPN_GLV"));
    }
    return values;
}

void ImportView::readCalculated(const QList<qint64> &instruments, const QDate &day) {
    QList<qint64> unknown;
    for (const qint64 instrument : instruments)
        if (!calculated_.count({instrument, day}) && !unknown.contains(instrument))
            unknown << instrument;
    // An IN list holds at most 1000 values on Oracle.
    constexpr int chunk = 1000;
    Query q(session_.db, QStringLiteral("qSFVPDodPodaci"));
    for (qsizetype start = 0; start < unknown.size(); start += chunk) {
        const int count = static_cast<int>(std::min<qsizetype>(chunk, unknown.size() - start));
        q.setText(calculatedSql(count, session_.isDb2()));
        q.setDate(QStringLiteral("DatumDo"), day);
        for (int i = 0; i < count; ++i) {
            q.setInteger(QStringLiteral("V%1").arg(i), unknown[start + i]);
            calculated_[{unknown[start + i], day}] = {};
        }
        for (q.open(); !q.eof(); q.next())
            calculated_[{q.asInteger(QStringLiteral("SFVP")), day}] = calculatedValues(q);
        q.close();
    }
}

std::array<QVariant, 5> ImportView::calculated(qint64 instrument, const QDate &day) {
    const auto known = calculated_.find({instrument, day});
    if (known != calculated_.end())
        return known->second;
    std::array<QVariant, 5> &values = calculated_[{instrument, day}];
    qSFVPDodPodaci_.setInteger(QStringLiteral("sfvp"), instrument);
    qSFVPDodPodaci_.setDate(QStringLiteral("DatumDo"), day);
    qSFVPDodPodaci_.open();
    if (!qSFVPDodPodaci_.eof())
        values = calculatedValues(qSFVPDodPodaci_);
    qSFVPDodPodaci_.close();
    return values;
}
