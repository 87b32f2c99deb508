#include "TradeImport.h"

#include "DataImport.h"
#include "DbError.h"
#include "DisplayFormat.h"
#include "ImportBatch.h"
#include "ImportView.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Schema.h"
#include "Session.h"
#include "SheetReader.h"
#include "ShortDateFormat.h"
#include "Transaction.h"

#include <algorithm>
#include <map>
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

QString TradeImport::instrumentsSql(int shortCodes) {
    QStringList markers;
    for (int i = 0; i < shortCodes; ++i)
        markers << QStringLiteral(":K%1").arg(i);
    return QStringLiteral(" select SFVP, upper(ISIN) as ISIN, KRT from SFVP where KRT IN (") +
           markers.join(QStringLiteral(", ")) + QStringLiteral(") order by SFVP ");
}

QString TradeImport::earlierRowsSql(int references) {
    QStringList markers;
    for (int i = 0; i < references; ++i)
        markers << QStringLiteral(":R%1").arg(i);
    return QStringLiteral(" select ") +
           Schema::table(QStringLiteral("DPATVPIMP")).columnNames().join(QStringLiteral(", ")) +
           QStringLiteral(" from DPATVPIMP where RefStTransa IN (") +
           markers.join(QStringLiteral(", ")) + QStringLiteral(") order by IDIMP ");
}

namespace {
// An IN list holds at most 1000 values on Oracle.
constexpr int inListSize = 1000;

int columnIndex(const QString &name) {
    const Schema::Table &t = Schema::table(QStringLiteral("DPATVPIMP"));
    const Schema::Column *c = t.column(name);
    return static_cast<int>(c - t.columns.data());
}

// What the import needs to know of the database, read once for the whole workbook: the
// instruments of its short codes and the rows imported earlier under its references. Rows the
// import writes are remembered, so a reference that repeats in the workbook finds its row.
class KnownRows {
public:
    void load(Session &session, const SheetReader &sheet, int rows) {
        QStringList shortCodes;
        QList<double> references;
        for (int r = 1; r < rows; ++r) {
            const RowReader row(sheet, r);
            const QString krt = row.cell(6).text();
            if (!krt.isEmpty() && !shortCodes.contains(krt))
                shortCodes << krt;
            try {
                const QVariant reference = row.number(18);
                if (!reference.isNull() && !references.contains(reference.toDouble()))
                    references << reference.toDouble();
            } catch (const RapoError &) {
                // The import ends at this cell when it gets there.
            }
        }
        Query q(session.db, QStringLiteral("qSFVP"));
        for (qsizetype start = 0; start < shortCodes.size(); start += inListSize) {
            const int count =
                static_cast<int>(std::min<qsizetype>(inListSize, shortCodes.size() - start));
            q.setText(TradeImport::instrumentsSql(count));
            for (int i = 0; i < count; ++i)
                q.setString(QStringLiteral("K%1").arg(i), shortCodes[start + i]);
            for (q.open(); !q.eof(); q.next())
                instruments_[q.asString(QStringLiteral("KRT"))].push_back(
                    {q.asInteger(QStringLiteral("SFVP")), q.asString(QStringLiteral("ISIN"))});
            q.close();
        }
        const Schema::Table &t = Schema::table(QStringLiteral("DPATVPIMP"));
        Query earlier(session.db, QStringLiteral("qDPATVPIMP"));
        for (qsizetype start = 0; start < references.size(); start += inListSize) {
            const int count =
                static_cast<int>(std::min<qsizetype>(inListSize, references.size() - start));
            earlier.setText(TradeImport::earlierRowsSql(count));
            for (int i = 0; i < count; ++i)
                earlier.setNumber(QStringLiteral("R%1").arg(i), references[start + i]);
            for (earlier.open(); !earlier.eof(); earlier.next()) {
                ImportBatch::Values values;
                for (const Schema::Column &c : t.columns)
                    values.push_back(earlier.value(c.name));
                // The first row of a reference is the one the import changes.
                rows_.try_emplace(earlier.asFloat(QStringLiteral("REFSTTRANSA")), values);
            }
            earlier.close();
        }
        loaded_ = true;
    }
    bool loaded() const { return loaded_; }

    // The instrument of a row: by ISIN (any letter case) and short code, or by the short code
    // alone when the row has no ISIN (empty or "N"); the first by its code.
    std::optional<qint64> instrument(const QString &isin, const QString &krt) const {
        const auto found = instruments_.find(krt);
        if (krt.isEmpty() || found == instruments_.end())
            return std::nullopt;
        const QString upper = isin.toUpper();
        for (const auto &[sfvp, instrumentIsin] : found->second)
            if (upper.isEmpty() || upper == u"N" || instrumentIsin == upper)
                return sfvp;
        return std::nullopt;
    }
    QList<qint64> instruments() const {
        QList<qint64> out;
        for (const auto &[krt, list] : instruments_)
            for (const auto &entry : list)
                out << entry.first;
        return out;
    }

    const ImportBatch::Values *row(double reference) const {
        const auto found = rows_.find(reference);
        return found == rows_.end() ? nullptr : &found->second;
    }
    void written(double reference, const ImportBatch::Values &values) { rows_[reference] = values; }

private:
    bool loaded_ = false;
    std::map<QString, std::vector<std::pair<qint64, QString>>> instruments_;
    std::map<double, ImportBatch::Values> rows_;
};

TradeImport::Result importSheet(Session &session, const SheetReader &sheet, int rows,
                                const QDate &day, const TradeImport::Progress &progress,
                                ImportBatch &batch) {
    using Ending = TradeImport::Ending;
    using Skipped = TradeImport::Skipped;
    TradeImport::Result result;
    KnownRows known;
    ImportView view(session);
    const QString dayShown = dayText(day);
    const QStringList &columns = ImportView::columnNames();
    const int idColumn = columnIndex(QStringLiteral("IDIMP"));
    const int flagColumn = columnIndex(QStringLiteral("RAZTRANSA"));
    const int reportColumn = columnIndex(QStringLiteral("DPATVPID"));
    const int currencyColumn = columnIndex(QStringLiteral("VAL"));
    const size_t tableColumns = Schema::table(QStringLiteral("DPATVPIMP")).columns.size();

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

        if (!known.loaded()) {
            known.load(session, sheet, rows);
            view.readCalculated(known.instruments(), day);
        }
        const QString isin = row.cell(5).text();
        const QString krt = row.cell(6).text();
        const std::optional<qint64> found = known.instrument(isin, krt);
        if (!found) {
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
        const qint64 instrument = *found;

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
        const ImportBatch::Values *earlier = known.row(reference.toDouble());
        const bool existing = earlier != nullptr;
        ImportBatch::Values saved = existing ? *earlier : ImportBatch::Values(tableColumns);
        const QString previousFlag = existing ? saved[size_t(flagColumn)].toString() : QString();
        if (!existing)
            saved[size_t(idColumn)] = batch.takeId();
        // As the table component stores them: an empty text is null.
        const auto set = [&](const QString &name, const QVariant &value) {
            const bool emptyText =
                value.typeId() == QMetaType::QString && value.toString().isEmpty();
            saved[size_t(columnIndex(name))] = emptyText ? QVariant() : value;
        };
        set(QStringLiteral("DATUM"), QDateTime(date, QTime(0, 0)));
        set(QStringLiteral("CAS"),
            QDateTime(date, QTime(0, 0)).addMSecs(qint64(fraction * 86400000.0 + 0.5)));
        for (int c = firstCopied; c <= lastCopied; ++c) {
            const FieldDef *field = view.table().field(columns[c + 1]);
            QVariant value = values[c];
            if (field && field->size > 0)
                value = value.toString().left(field->size);
            set(columns[c + 1], value);
        }
        set(QStringLiteral("INTINDINSTR"), instrument);
        set(QStringLiteral("VAL"), saved[size_t(currencyColumn)].toString().toUpper());
        if (existing && previousFlag.isEmpty() && saved[size_t(flagColumn)].toString() == u"C")
            saved[size_t(reportColumn)] = QVariant();

        const auto calculated = view.calculated(instrument, day);
        QString logText;
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = c >= 21 && c <= 25 ? calculated[size_t(c - 21)]
                                                      : saved[size_t(columnIndex(columns[c]))];
            logText += DataSet::valueText(value) + QStringLiteral("#|") + columns[c] +
                       QStringLiteral("#|");
        }
        batch.log(existing ? QStringLiteral("^") : QStringLiteral("+"), logText);
        batch.write(saved, existing);
        known.written(reference.toDouble(), saved);
        batch.saved();
        if (existing)
            ++result.updated;
        else
            ++result.inserted;
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
    ImportBatch batch(session, nextId);
    try {
        const Result result = importSheet(session, *sheet, rows, day, progress, batch);
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
