#include "TradeImport.h"

#include "DataImport.h"
#include "DbError.h"
#include "DisplayFormat.h"
#include "EditableTable.h"
#include "ImportView.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"
#include "SheetReader.h"
#include "ShortDateFormat.h"
#include "Transaction.h"

#include <optional>

namespace {
// The workbook's columns C to S fill the view's columns 3 to 19.
constexpr int firstCopied = 2;
constexpr int lastCopied = 18;

class RowReader {
public:
    RowReader(const SheetReader &sheet, int row) : sheet_(sheet), row_(row) {}

    SheetCell cell(int column) const { return sheet_.cell(row_, column); }

    [[noreturn]] void fail(int column, const QString &what) const {
        throw RapoError(
            QStringLiteral("Napaka v datoteki \"%1\", vrstica %2, stolpec %3: \"%4\" %5.")
                .arg(sheet_.fileName())
                .arg(row_ + 1)
                .arg(DataImport::columnLetters(column + 1), cell(column).text(), what));
    }

    QDate date(int column) const {
        const QDateTime at = cell(column).dateTime();
        if (!at.isValid())
            fail(column, QStringLiteral("ni veljaven datum (dd.mm.llll)"));
        return at.date();
    }

    // Null for an empty cell.
    QVariant number(int column) const {
        const SheetCell c = cell(column);
        if (c.isEmpty())
            return {};
        if (c.type == SheetCell::Type::Number)
            return c.value.toDouble();
        bool ok = false;
        const double value = DisplayFormat::userLocale().toDouble(c.text().trimmed(), &ok);
        if (!ok)
            fail(column, QStringLiteral("ni veljavno število"));
        return value;
    }

private:
    const SheetReader &sheet_;
    int row_;
};

QString dayText(const QDate &day) {
    return ShortDateFormat::toText(day);
}
} // namespace

QString TradeImport::nextIdSql(bool isDb2) {
    return isDb2 ? QStringLiteral(" select COALESCE(max(IDImp), 0)+1 as MaxIDImp from DPATVPIMP ")
                 : QStringLiteral(" select NVL(max(IDImp),0)+1 as MaxIDImp from DPATVPIMP ");
}

qint64 TradeImport::nextId(Session &session) {
    Query q(session.db, QStringLiteral("qDPATVPIMP"));
    q.setText(nextIdSql(session.isDb2()));
    q.open();
    return q.asInteger(QStringLiteral("MaxIDImp"));
}

namespace {
// Rows are saved in batches: a commit for every row would make a large workbook wait for the
// disk row by row. A batch is committed before every question to the user, at every end of the
// import and after `size` rows, so an import that ends early keeps the rows before its end; a
// database failure rolls back only its batch. Imported again, a workbook updates its rows in
// place, so the rows of a lost batch are restored by importing it again.
class SaveBatch {
public:
    explicit SaveBatch(Database &db) : db_(db) {}
    // A row of the workbook is about to be written.
    void begin(int row) {
        if (!tx_) {
            tx_.emplace(db_);
            firstRow_ = row;
        }
    }
    void saved() {
        if (++rows_ == size)
            commit();
    }
    void commit() {
        if (tx_)
            tx_->commit();
        tx_.reset();
        rows_ = 0;
    }
    // The first row the failure takes back; 0 when no row is pending.
    int rollback() {
        const int first = tx_ ? firstRow_ : 0;
        tx_.reset();
        rows_ = 0;
        return first;
    }

private:
    static constexpr int size = 200;
    Database &db_;
    std::optional<Transaction> tx_;
    int firstRow_ = 0;
    int rows_ = 0;
};

TradeImport::Result importSheet(Session &session, const SheetReader &sheet, int rows,
                                const QDate &day, qint64 nextId,
                                const TradeImport::Progress &progress, SaveBatch &batch) {
    using Ending = TradeImport::Ending;
    using Skipped = TradeImport::Skipped;
    TradeImport::Result result;
    Query qSFVP(session.db, QStringLiteral("qSFVP"));
    qSFVP.setText(QStringLiteral(
        " select sfvp from SFVP where ((upper(ISIN) = :ISIN AND KRT = :KRT) OR (( :ISIN = 'N' OR "
        ":ISIN IS NULL OR :ISIN = '') AND KRT = :KRT)) "));
    Query qEarlier(session.db, QStringLiteral("qDPATVPIMP"));
    qEarlier.setText(QStringLiteral(" select * from DPATVPIMP where RefStTransa=:RefStTransa "));
    EditableTable tDPATVPIMP(session.db, QStringLiteral("DPATVPIMP"));
    ImportView view(session);
    const QString dayShown = dayText(day);
    const QStringList &columns = ImportView::columnNames();

    bool confirmed = false;
    for (int r = 1; r < rows; ++r) {
        const RowReader row(sheet, r);
        const SheetCell a = row.cell(0);
        const QDate date = row.date(0);
        if (!confirmed) {
            if (date != day) {
                batch.commit();
                session.prompter.warning(
                    QStringLiteral("Datum v Excelu ne ustreza izbranemu dnevu %1 !").arg(dayShown));
                result.ending = r == 1 ? Ending::Refused : Ending::Stopped;
                return result;
            }
            if (r == 1 &&
                !session.prompter.okCancel(
                    QStringLiteral("Prosim potrdi import podatkov na dan %1 !").arg(dayShown))) {
                result.ending = Ending::Refused;
                return result;
            }
            confirmed = true;
        }
        if (a.dateTime() != QDateTime(day, QTime(0, 0))) {
            session.prompter.warning(
                QStringLiteral("Datum v Excelu %1 ne ustreza izbranemu dnevu "
                               "%2 !\n\rNapaka v %3. vrstici.\n\r\n\rPrekinjen "
                               "import!")
                    .arg(a.text(), dayShown)
                    .arg(r + 1));
            result.ending = Ending::Stopped;
            return result;
        }
        if (date != day) {
            const QString text = QStringLiteral("Datum podatka %1 ne ustreza izbranemu dnevu %2 !")
                                     .arg(a.text(), dayShown);
            batch.commit();
            session.prompter.warning(text);
            result.errors += QStringLiteral("\r\n") + text;
            result.skipped << Skipped{r + 1, text};
            continue;
        }

        const QString isin = row.cell(5).text();
        const QString krt = row.cell(6).text();
        qSFVP.setString(QStringLiteral("ISIN"), isin.toUpper());
        qSFVP.setString(QStringLiteral("KRT"), krt);
        qSFVP.open();
        if (qSFVP.eof()) {
            batch.commit();
            if (session.prompter.abortIgnore(
                    QStringLiteral("Vrednostni papir za isin %1 in kratico %2 v šifrantu VP ne "
                                   "obstaja!")
                        .arg(isin, krt))) {
                result.ending = Ending::Aborted;
                return result;
            }
            const QString text = QStringLiteral("Za ISIN \"%1\" in kratico \"%2\" ne najdem "
                                                "ustreznega fin. instrumenta!")
                                     .arg(isin, krt);
            result.errors += QStringLiteral("\r\n") + text;
            result.skipped << Skipped{r + 1, text};
            if (progress)
                progress(r, rows);
            continue;
        }
        const qint64 instrument = qSFVP.asInteger(QStringLiteral("sfvp"));
        qSFVP.close();

        // Every value is read before anything is written, so a bad cell changes nothing.
        const QVariant reference = row.number(18);
        QVariant values[lastCopied + 1];
        for (int c = firstCopied; c <= lastCopied; ++c) {
            const QString name = columns[c + 1];
            if (name == u"CENA" || name == u"KOL" || name == u"REFSTTRANSA")
                values[c] = row.number(c);
            else
                values[c] = row.cell(c).text();
        }
        const SheetCell b = row.cell(1);
        double fraction = 0;
        if (!b.isEmpty() && (fraction = b.dayFraction()) < 0)
            row.fail(1, QStringLiteral("ni veljaven čas (hh:mm:ss)"));
        if (reference.isNull())
            continue; // a row without transaction reference is dropped

        batch.begin(r + 1);
        QString previousFlag;
        bool existing = false;
        qEarlier.setNumber(QStringLiteral("RefStTransa"), reference.toDouble());
        qEarlier.open();
        if (!qEarlier.eof()) {
            existing = tDPATVPIMP.restrictToKey({qEarlier.asInteger(QStringLiteral("IDIMP"))});
            previousFlag = qEarlier.asString(QStringLiteral("RAZTRANSA"));
        }
        qEarlier.close();
        if (existing) {
            tDPATVPIMP.edit();
        } else {
            tDPATVPIMP.append();
            tDPATVPIMP.setValue(QStringLiteral("IDIMP"), nextId);
        }
        tDPATVPIMP.setValue(QStringLiteral("DATUM"), QDateTime(date, QTime(0, 0)));
        tDPATVPIMP.setValue(
            QStringLiteral("CAS"),
            QDateTime(date, QTime(0, 0)).addMSecs(qint64(fraction * 86400000.0 + 0.5)));
        for (int c = firstCopied; c <= lastCopied; ++c) {
            const FieldDef *field = view.table().field(columns[c + 1]);
            QVariant value = values[c];
            if (field && field->size > 0)
                value = value.toString().left(field->size);
            tDPATVPIMP.setValue(columns[c + 1], value);
        }
        tDPATVPIMP.setValue(QStringLiteral("INTINDINSTR"), instrument);
        tDPATVPIMP.setValue(QStringLiteral("VAL"),
                            tDPATVPIMP.value(QStringLiteral("VAL")).toString().toUpper());
        if (existing && previousFlag.isEmpty() &&
            tDPATVPIMP.asString(QStringLiteral("RAZTRANSA")) == u"C")
            tDPATVPIMP.setValue(QStringLiteral("DPATVPID"), QVariant());

        const auto calculated = view.calculated(instrument, day);
        QString logText;
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value =
                c >= 21 && c <= 25 ? calculated[size_t(c - 21)] : tDPATVPIMP.value(columns[c]);
            logText += DataSet::valueText(value) + QStringLiteral("#|") + columns[c] +
                       QStringLiteral("#|");
        }
        session.activityLog.write(QStringLiteral("DPATVPIMP"),
                                  existing ? QStringLiteral("^") : QStringLiteral("+"), logText);
        tDPATVPIMP.post();
        batch.saved();
        if (existing) {
            ++result.updated;
        } else {
            ++result.inserted;
            ++nextId;
        }
        if (progress)
            progress(r, rows);
    }
    return result;
}
} // namespace

TradeImport::Result TradeImport::run(Session &session, const QString &fileName, const QDate &day,
                                     qint64 nextId, const Progress &progress) {
    const std::unique_ptr<SheetReader> sheet = openWorkbook(fileName);
    // The rows end before the first empty cell in column A.
    int rows = 0;
    while (rows < sheet->rowCount() && !sheet->cell(rows, 0).isEmpty())
        ++rows;
    if (progress)
        progress(0, rows);
    SaveBatch batch(session.db);
    try {
        const Result result = importSheet(session, *sheet, rows, day, nextId, progress, batch);
        batch.commit();
        return result;
    } catch (const DbError &e) {
        const int first = batch.rollback();
        if (first == 0)
            throw;
        throw RapoError(
            e.message() +
            QStringLiteral("\nVrstice od %1. naprej niso shranjene, vrstice pred njo so.")
                .arg(first));
    } catch (const RapoError &) {
        // A value that does not convert is found before its row is written.
        batch.commit();
        throw;
    } catch (...) {
        batch.rollback();
        throw;
    }
}

int TradeImport::deleteUnreported(Session &session, const QDate &day) {
    Query count(session.db);
    count.setText(QStringLiteral("select count(*) as N from DPATVPIMP where Datum = :Datum"));
    count.setDate(QStringLiteral("Datum"), day);
    count.open();
    if (count.asInteger(QStringLiteral("N")) == 0)
        return 0;
    if (!session.prompter.okCancel(
            QStringLiteral("Prosim potrdi brisanje vseh importiranih na dan %1!")
                .arg(dayText(day))))
        return 0;
    try {
        Transaction tx(session.db);
        Query del(session.db, QStringLiteral("delDPATVPIMP"));
        del.setText(
            QStringLiteral(" DELETE FROM DPATVPIMP WHERE Datum = :Datum AND DPATVPID IS NULL "));
        del.setDate(QStringLiteral("Datum"), day);
        const int deleted = del.exec();
        tx.commit();
        return deleted;
    } catch (const RapoError &) {
        throw RapoError(QStringLiteral("Napaka pri brisanju iz DPATVPIMP!"));
    }
}
