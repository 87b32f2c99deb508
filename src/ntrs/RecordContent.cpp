#include "RecordContent.h"

#include "Configuration.h"
#include "FieldError.h"
#include "FieldFormat.h"
#include "InstrumentLookup.h"
#include "Query.h"
#include "RapoError.h"

namespace {
const QDate zeroDate(1899, 12, 30);

QString isoDate(const QDateTime &value) {
    return value.date().toString(QStringLiteral("yyyy-MM-dd"));
}

// A blank value (a fixed-width host column) is no value.
bool isEmpty(const Query &q, const QString &column) {
    return q.asString(column).trimmed().isEmpty();
}

qint64 wholeNumber(const QString &text, bool wide, const QString &field) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || (!wide && (value > std::numeric_limits<qint32>::max() ||
                          value < std::numeric_limits<qint32>::min())))
        throw FieldError(u'\'' + text + QStringLiteral("' ni veljavno celo število"), field, text,
                         wide ? QStringLiteral("celo število")
                              : QStringLiteral("celo število do 2147483647"));
    return value;
}

QString dayText(const QDateTime &value) {
    return value.date().toString(QStringLiteral("dd.MM.yyyy"));
}
} // namespace

RecordContent::RecordContent(const Configuration &configuration, QString reference,
                             std::vector<Failure> *failures)
    : configuration_(configuration), reference_(std::move(reference)), failures_(failures) {}

void RecordContent::fail(const QString &field, const QString &value, const QString &rule,
                         const QString &message) const {
    if (!failures_)
        throw FieldError(message, field, value, rule);
    failures_->push_back({reference_, field, value, rule, message});
}

template <typename Fill> void RecordContent::guard(Fill fill) const {
    try {
        fill();
    } catch (const FieldError &e) {
        if (!failures_)
            throw;
        failures_->push_back({reference_, e.field(), e.value(), e.rule(), e.message()});
    }
}

QString RecordContent::label(const Query &q, const QString &column) const {
    const FieldDef *field = q.field(column);
    return field && !field->caption.isEmpty() ? field->caption
                                              : q.columnName(q.requireColumn(column));
}

QString RecordContent::pf(const Query &q, const QString &column, const QString &format,
                          const QString &prefix, const QString &suffix) const {
    const int index = q.requireColumn(column);
    const FieldDef *field = q.field(column);
    const FieldFormat::FormatColumn value{q.columnName(index), field ? field->caption : QString(),
                                          q.asString(column)};
    try {
        return FieldFormat::check(value, format, prefix, suffix, reference_);
    } catch (const FieldError &e) {
        if (!failures_)
            throw;
        failures_->push_back({reference_, e.field(), e.value(), e.rule(), e.message()});
        return e.value();
    }
}

QString RecordContent::firm(const Query &q) const {
    return FieldFormat::padToLength(pf(q, QStringLiteral("Swift_BPH"), QStringLiteral("11(x)")), 11,
                                    QStringLiteral("X"), false);
}

qint32 RecordContent::internalCode(const Query &q, const QString &column) const {
    const QString code = pf(q, column, QStringLiteral("10(n)"), configuration_.vpVekPrefiks);
    qint32 value = 0;
    guard([&] { value = static_cast<qint32>(wholeNumber(code, false, label(q, column))); });
    return value;
}

bool RecordContent::isLeftOut(const Query &row) {
    return row.asInteger(QStringLiteral("IDPSLTRP")) != 0 &&
           row.asString(QStringLiteral("SfDjv")) != QLatin1String("L") &&
           row.asString(QStringLiteral("NS_SFDJV")) == QLatin1String("L");
}

bool RecordContent::isDerivative(const Query &instrument) {
    if (instrument.asString(QStringLiteral("ISIN")) != QLatin1String("N") ||
        instrument.isNull(QStringLiteral("TipInstr")))
        return false;
    const QString type = instrument.asString(QStringLiteral("TipInstr")).toUpper();
    return type.startsWith(u'O') || type.startsWith(u'F');
}

void RecordContent::fillDerivative(AlternativeInstrumentId aii, const Query &instrument) const {
    const QString type = instrument.asString(QStringLiteral("TipInstr"));
    const QString shortCode = instrument.asString(QStringLiteral("KRT"));
    const QString kind = type.left(1).toUpper();
    aii.setAIIExchangeCode(instrument.asString(QStringLiteral("TRG_MIC")));
    aii.setAIIProductCode(shortCode);
    aii.setAIIDerivativeType(kind);
    QString putCall = QStringLiteral("F");
    if (kind == QLatin1String("O")) {
        putCall = type.mid(1, 1).toUpper();
        if (putCall != QLatin1String("P") && putCall != QLatin1String("C"))
            return fail(QStringLiteral("Tip instrumenta"), type,
                        QStringLiteral("opcija: P ali C na drugem mestu"),
                        QStringLiteral("Napaka pri CFI kodi \"") + type +
                            QStringLiteral("\" za FI ") + shortCode);
    }
    aii.setAIIPutCallIdentifier(putCall);
    const QDateTime expiry = instrument.asDateTime(QStringLiteral("DatumPrenehanja"));
    if (!expiry.isValid() || expiry.date() <= zeroDate)
        return fail(QStringLiteral("Datum prenehanja"), QString(),
                    QStringLiteral("izvedeni instrument ima datum prenehanja"),
                    QStringLiteral("Napaka za FI ") + shortCode +
                        QStringLiteral(" manjka datum prenehanja"));
    aii.setAIIExpiryDate(isoDate(expiry));
    if (instrument.asFloat(QStringLiteral("IZVCEN")) < 0)
        return fail(QStringLiteral("Izvršilna cena"), instrument.asString(QStringLiteral("IZVCEN")),
                    QStringLiteral("izvršilna cena ni negativna"),
                    QStringLiteral("Manjka izvršilna cena za FI ") + shortCode +
                        QStringLiteral(" ."));
    aii.setAIIStrikePrice(pf(instrument, QStringLiteral("IZVCEN"), QStringLiteral("1(d)")));
}

void RecordContent::fillInstrument(InstrumentRecord record, const Query &q) const {
    record.setReportingFirmIdentification(firm(q));
    record.setInstrumentISINCode(pf(q, QStringLiteral("ISIN"), QStringLiteral("2(a)9(x)1(n)")));
    if (isDerivative(q))
        fillDerivative(record.AIICode(), q);
    record.setInstrumentInternalCode(internalCode(q, QStringLiteral("IntIdent")));
    record.setInstrumentName(pf(q, QStringLiteral("ImeInstrumenta"), QStringLiteral("40(x)")));
    record.setIssuerName(pf(q, QStringLiteral("ImeIzdajatelja"), QStringLiteral("205(x)")));
    record.setIssuerCountry(pf(q, QStringLiteral("ISOKODA"), QStringLiteral("2(x)")));
    const QString type = q.asString(QStringLiteral("TipInstr"));
    record.setInstrumentClassification(pf(q, QStringLiteral("TipInstr"), QStringLiteral("6(a)"), {},
                                          QString(qMax<qsizetype>(0, 6 - type.size()), u'X')));
    const QDateTime changed = q.asDateTime(QStringLiteral("DanSpr"));
    record.setLastChangeDate(changed.isValid() ? isoDate(changed)
                                               : zeroDate.toString(QStringLiteral("yyyy-MM-dd")));
    const bool pieces = q.asString(QStringLiteral("KOS")) == QLatin1String("D");
    const bool nominal = q.asFloat(QStringLiteral("GlvNmn")) != 0;
    record.setNominalValue(pieces    ? QStringLiteral("1")
                           : nominal ? pf(q, QStringLiteral("GlvNmn"), QStringLiteral("1(d)"))
                                     : QStringLiteral("0"));
    record.setCurrency(pieces    ? QStringLiteral("K")
                       : nominal ? pf(q, QStringLiteral("VLT"), QStringLiteral("3(a)"))
                                 : QStringLiteral("N"));
    if (q.asFloat(QStringLiteral("LOTEMS")) != 0)
        record.setIssuedVolume(pf(q, QStringLiteral("LOTEMS"), QStringLiteral("1(d)")));
    if (!q.isNull(QStringLiteral("DatumPrenehanja")))
        record.setExpireDate(isoDate(q.asDateTime(QStringLiteral("DatumPrenehanja"))));
    if (!q.isNull(QStringLiteral("Referenca")) && q.asInteger(QStringLiteral("Referenca")) > 0)
        record.setReferenca(static_cast<qint32>(q.asInteger(QStringLiteral("Referenca"))));
}

// Pads what is reported, not what is stored: a BIC stored blank-padded still gets its "X".
QString RecordContent::bic(const Query &q, const QString &column) const {
    return FieldFormat::padToLength(pf(q, column, QStringLiteral("11(x)")), 11, QStringLiteral("X"),
                                    false);
}

void RecordContent::fillTransaction(TransactionRecord record, const Query &q,
                                    InstrumentLookup &instruments) const {
    record.setReportingFirmIdentification(firm(q));
    record.setTradingDay(isoDate(q.asDateTime(QStringLiteral("Dan"))));
    record.setTradingTime(
        q.asDateTime(QStringLiteral("Cas")).time().toString(QStringLiteral("HH:mm:ss")));
    guard([&] {
        record.setTradingTimeZone(FieldFormat::check(std::nullopt, QStringLiteral("1(S)2(n)"),
                                                     q.asString(QStringLiteral("Offset")), {},
                                                     reference_));
    });
    record.setBuySellIndicator(pf(q, QStringLiteral("INDNAKPROD"), QStringLiteral("1(a)")));
    record.setTradingCapacity(q.asString(QStringLiteral("TrgZmog")));
    record.setInstrumentISINCode(pf(q, QStringLiteral("ISIN"), QStringLiteral("2(a)9(x)1(n)")));
    if (instruments.moveTo(q.asInteger(QStringLiteral("INTINDINSTR"))) &&
        isDerivative(instruments.query()))
        fillDerivative(record.AIICode(), instruments.query());
    record.setInstrumentInternalCode(internalCode(q, QStringLiteral("INTINDINSTR")));
    record.setUnitPriceValue(pf(q, QStringLiteral("CENAENOTE"), QStringLiteral("1(d)")));
    record.setUnitPriceType(pf(q, QStringLiteral("ZAPISCENE"), QStringLiteral("1(a)")));
    record.setPriceNotation(pf(q, QStringLiteral("VALUTA"), QStringLiteral("3(a)")));
    if (q.asString(QStringLiteral("ZapisCene")) != QLatin1String("P"))
        record.setQuantity(
            pf(q, QStringLiteral("LOT"), QStringLiteral("1(d)")).replace(u',', u'.'));
    else if (q.asFloat(QStringLiteral("KPN_GLV")) <= 0)
        // Without the principal of the day's coupon period the quantity would be 0.
        fail(label(q, QStringLiteral("LOT")), q.asString(QStringLiteral("LOT")),
             QStringLiteral("kuponsko obdobje z glavnico"),
             QStringLiteral("Napaka: Za Ref.St.Transakcije ") + reference_ +
                 QStringLiteral("  posel v odstotkih za FI ") +
                 q.asString(QStringLiteral("SFVP_KRT")) + QStringLiteral(" (") +
                 q.asString(QStringLiteral("INTINDINSTR")) +
                 QStringLiteral(") nima kuponskega obdobja z glavnico na dan ") +
                 dayText(q.asDateTime(QStringLiteral("Dan"))) + QStringLiteral("!"));
    else
        record.setQuantity(QString::number(
            q.asFloat(QStringLiteral("LOT")) * q.asFloat(QStringLiteral("KPN_GLV")), 'f', 2));

    const QString venueKind = q.asString(QStringLiteral("SFTRZ"));
    const bool ownAccount = q.asString(QStringLiteral("SFDJV")) == QLatin1String("L");
    const bool crossed = q.asInteger(QStringLiteral("IDPSLTRP")) != 0;
    const bool oppositeOwn = q.asString(QStringLiteral("NS_SFDJV")) == QLatin1String("L");
    const auto counterparty = [&](const QString &id, const QString &type) {
        record.setCounterparty(id);
        record.setCounterpartyType(type);
    };
    const auto client = [&] {
        if (ownAccount)
            return;
        if (!isEmpty(q, QStringLiteral("SWIFT"))) {
            record.setClient(
                FieldFormat::padToLength(pf(q, QStringLiteral("SWIFT"), QStringLiteral("11(x)")),
                                         11, QStringLiteral("X"), false));
            record.setClientType(QStringLiteral("BIC"));
        } else {
            // The internal code is the bank code with zeros in front; a longer one would be cut.
            // Trailing blanks of a fixed-width host column are not part of it.
            QString code = q.asString(QStringLiteral("KRTBNK"));
            while (code.endsWith(u' '))
                code.chop(1);
            if (code.size() > 10) {
                fail(label(q, QStringLiteral("KRTBNK")), code, QStringLiteral("10(x)"),
                     QStringLiteral("Napaka: Za Ref.St.Transakcije ") + reference_ +
                         QStringLiteral("  polje '") + label(q, QStringLiteral("KRTBNK")) +
                         QStringLiteral("' podatek '") + code +
                         QStringLiteral("' je daljši od 10 znakov; interna oznaka stranke bi "
                                        "bila odrezana!"));
                return;
            }
            const FieldFormat::FormatColumn column{QStringLiteral("KRTBNK"),
                                                   label(q, QStringLiteral("KRTBNK")), code};
            QString client = QString(10 - code.size(), u'0') + code;
            guard([&] {
                client = FieldFormat::check(column, QStringLiteral("10(x)"),
                                            QString(10 - code.size(), u'0'), {}, reference_);
            });
            record.setClient(client);
            record.setClientType(QStringLiteral("Internal"));
        }
    };
    const auto bicOrCc = [&](const QString &column) {
        if (!isEmpty(q, column))
            counterparty(bic(q, column), QStringLiteral("BIC"));
        else
            counterparty(QStringLiteral("CC"), QStringLiteral("CC"));
    };
    if (q.asString(QStringLiteral("VRSTA")) == QLatin1String("I")) {
        counterparty(q.asString(QStringLiteral("NS_KRTBNK")),
                     q.asString(QStringLiteral("NS_OznakaKlijenta")));
        const QString bank = q.asString(QStringLiteral("KRTBNK"));
        if (!bank.isEmpty()) {
            record.setClient(QString(qMax<qsizetype>(0, 10 - bank.size()), u'0') + bank);
            record.setClientType(q.asString(QStringLiteral("OznakaKlijenta")));
        }
    } else if (venueKind == QLatin1String("2")) {
        counterparty(pf(q, QStringLiteral("MIC"), QStringLiteral("4(x)")), QStringLiteral("MIC"));
        client();
    } else if (venueKind == QLatin1String("3") && crossed && !oppositeOwn) {
        bicOrCc(QStringLiteral("NS_SWIFT"));
        client();
    } else if (venueKind == QLatin1String("3") && !crossed) {
        bicOrCc(QStringLiteral("TRP_SWIFT"));
        client();
    }

    if (venueKind == QLatin1String("2")) {
        record.setTradingVenue(pf(q, QStringLiteral("IDENTMESTA"), QStringLiteral("20(x)")));
        record.setTradingVenueType(
            pf(q, QStringLiteral("OZNAKAIDENTMESTA"), QStringLiteral("4(a)")));
    } else {
        record.setTradingVenue(QStringLiteral("OTC"));
        record.setTradingVenueType(QStringLiteral("XOFF"));
    }
    guard([&] {
        record.setTransactionReferenceNumber(wholeNumber(q.asString(QStringLiteral("RefStTransaC")),
                                                         true, QStringLiteral("RefStTransaC")));
    });
}

void RecordContent::fillCancellation(CancellationRecord record, const Query &q) const {
    record.setReportingFirmIdentification(firm(q));
    guard([&] {
        record.setCancelledTransactionReferenceNumber(wholeNumber(
            q.asString(QStringLiteral("RefStTransaC")), true, QStringLiteral("RefStTransaC")));
    });
    record.setCancelledTransactionFlag(QStringLiteral("C"));
}
