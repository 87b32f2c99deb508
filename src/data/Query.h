#pragma once

#include "DataSet.h"
#include "ParamValue.h"

#include <QMap>

// A statement: SQL text kept as lines, named parameters written ":Name" (a name used several
// times is set once), opened for rows or executed. The text is sent as composed; dialect
// differences live in the texts themselves.
class Query : public DataSet {
public:
    explicit Query(Database &db, QString name = {});

    const QString &name() const { return name_; }

    // Text. Changing it closes the statement; parameter values stay with their names.
    void clearSql();
    void addLine(const QString &line);
    void setText(const QString &text);
    QString text() const { return lines_.join(u'\n'); }
    const QStringList &lines() const { return lines_; }
    // Every parameter name of the text, in order of first appearance.
    QStringList parameterNames() const;

    // Parameter values by type. Changing one closes the statement.
    void setDate(const QString &name, const QDate &value);
    void setDateTime(const QString &name, const QDateTime &value);
    void setInteger(const QString &name, qint64 value);
    void setNumber(const QString &name, double value);
    void setString(const QString &name, const QString &value);
    void setNull(const QString &name);
    void setParam(const QString &name, const ParamValue &value);
    // The value given for a name, as text (empty for null or not given).
    QString parameterText(const QString &name) const;

    // Runs a statement that returns rows and positions on the first.
    void open();
    void reload() override { open(); }
    // Runs a statement that returns none; gives the number of rows changed.
    int exec();

    // The text with ":Name" turned into positional markers, and the names in marker order.
    struct Positional {
        QString text;
        QStringList names;
    };
    static Positional positional(const QString &text);

private:
    QSqlQuery &run();

    QString name_;
    QStringList lines_;
    QMap<QString, ParamValue> params_; // upper-cased name -> value
};
