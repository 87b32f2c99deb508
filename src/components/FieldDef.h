#pragma once

#include <QString>

// A column of a dataset that a screen shows: declared once, next to the dataset's statement.
struct FieldDef {
    enum class Type { Text, Whole, Number, Date, DateTime, Time };

    QString name;
    Type type = Type::Text;
    QString caption; // empty: the grid titles the column with its name
    int width = 0;   // characters; 0: the grid chooses
    bool visible = true;
    QString displayFormat;
    bool calculated = false; // computed for every fetched row by the dataset's hook
    int size = 0;            // texts longer than this are cut when read; 0: no limit
};
