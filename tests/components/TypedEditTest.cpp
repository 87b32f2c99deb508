#include "TypedEdit.h"
#include "TypedEditPicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

// Readable failure messages.
static void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {
using Type = TypedEdit::DataType;

const QDate today(2024, 3, 15);

// Answers the picker dialogs from a script instead of showing them.
class ScriptedEdit : public TypedEdit {
public:
    using TypedEdit::TypedEdit;

    std::optional<QDate> dateAnswer;
    std::optional<QTime> timeAnswer;
    QStringList opened; // "date <initial>" / "time <initial>", in order

protected:
    std::optional<QDate> pickDate(const QDate &initial) override {
        opened << QStringLiteral("date ") + initial.toString(Qt::ISODate);
        return dateAnswer;
    }
    std::optional<QTime> pickTime(const QTime &initial) override {
        opened << QStringLiteral("time ") + initial.toString(Qt::ISODate);
        return timeAnswer;
    }
};

// A window with a typed edit and a plain field to move the focus to.
struct Form {
    QWidget window;
    ScriptedEdit *edit;
    QLineEdit *other;
    QStringList errors;
    std::unique_ptr<QSignalSpy> changes;
    std::unique_ptr<QSignalSpy> touches;

    explicit Form(Type type, const QString &displayFormat = {}) {
        auto *layout = new QVBoxLayout(&window);
        edit = new ScriptedEdit(type, &window);
        edit->setDisplayFormat(displayFormat);
        edit->setToday([] { return today; });
        edit->setErrorReporter([this](const QString &message) { errors << message; });
        other = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        changes = std::make_unique<QSignalSpy>(edit, &TypedEdit::valueChanged);
        touches = std::make_unique<QSignalSpy>(edit, &TypedEdit::touched);
    }

    void show() {
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }

    // Focuses the edit and replaces its whole text by typing.
    void retype(const QString &keys) {
        show();
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }

    void leave() {
        other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents(); // the refocus after a failed conversion is queued
    }
};

QColor textColour(const QWidget &w) {
    return w.palette().color(QPalette::Active, QPalette::Text);
}

} // namespace

TEST(TypedEdit, DateEditTakesTodayWhenItsWindowIsShown) {
    Form form(Type::Date);
    form.show();
    EXPECT_EQ(form.edit->date(), today);
    EXPECT_EQ(form.edit->text(), QStringLiteral("15.03.2024"));
}

TEST(TypedEdit, DateEditOfAWindowNotShownYetReadsToday) {
    Form form(Type::Date);
    EXPECT_EQ(form.edit->date(), today);
    form.edit->setDataType(Type::Integer);
    EXPECT_TRUE(form.edit->isEmpty());
    EXPECT_EQ(form.changes->count(), 0);
}

TEST(TypedEdit, ValueSetBeforeTheWindowIsShownIsKept) {
    Form form(Type::Date);
    form.edit->setDate(QDate(2020, 1, 2));
    form.show();
    EXPECT_EQ(form.edit->date(), QDate(2020, 1, 2));
}

TEST(TypedEdit, StoredTextIsConvertedOnLoad) {
    struct Case {
        Type type;
        QString format, stored, shown;
    };
    const Case cases[] = {
        {Type::Integer, {}, QStringLiteral("42"), QStringLiteral("42")},
        {Type::Float, QStringLiteral(",0.00"), QStringLiteral("1234,5"),
         QStringLiteral("1.234,50")},
        {Type::String, {}, QStringLiteral("abc"), QStringLiteral("abc")},
        {Type::Time, {}, QStringLiteral("13:05"), QStringLiteral("13:05:00")},
        {Type::DateTime, QStringLiteral("dd.mm.yyyy hh:nn"), QStringLiteral("15.03.2024 13:05"),
         QStringLiteral("15.03.2024 13:05")},
        {Type::Integer, {}, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        Form form(c.type, c.format);
        form.edit->setStoredText(c.stored);
        form.edit->loaded();
        EXPECT_EQ(form.edit->text().remove(u'_'), c.shown);
        EXPECT_EQ(form.edit->isEmpty(), c.stored.isEmpty());
        EXPECT_TRUE(form.errors.isEmpty());
    }
}

TEST(TypedEdit, TypedDateIsAppliedOnEnterAndOnLeaving) {
    for (const bool byEnter : {true, false}) {
        SCOPED_TRACE(byEnter ? "Enter" : "leaving");
        Form form(Type::Date);
        form.retype(QStringLiteral("01022023"));
        EXPECT_EQ(form.edit->date(), today) << "nothing applies before confirmation";
        if (byEnter)
            QTest::keyClick(form.edit, Qt::Key_Return);
        else
            form.leave();
        EXPECT_EQ(form.edit->date(), QDate(2023, 2, 1));
        EXPECT_EQ(form.edit->text(), QStringLiteral("01.02.2023"));
        EXPECT_FALSE(form.edit->isTouched());
        EXPECT_EQ(form.changes->count(), 1);
        EXPECT_TRUE(form.errors.isEmpty());
        EXPECT_TRUE(form.edit->opened.isEmpty()) << "Enter while touched applies, not picks";
    }
}

TEST(TypedEdit, InvalidDateReportsTheErrorAndKeepsTheFocus) {
    for (const bool byEnter : {true, false}) {
        SCOPED_TRACE(byEnter ? "Enter" : "leaving");
        Form form(Type::Date);
        form.retype(QStringLiteral("31022023"));
        if (byEnter)
            QTest::keyClick(form.edit, Qt::Key_Return);
        else
            form.leave();
        ASSERT_EQ(form.errors.size(), 1);
        EXPECT_EQ(form.errors.first(),
                  QStringLiteral("'31.02.2023' ni veljaven datum (dd.mm.llll)"));
        EXPECT_TRUE(form.edit->hasFocus());
        EXPECT_EQ(form.edit->date(), today);
        EXPECT_TRUE(form.edit->isTouched());
        EXPECT_EQ(form.edit->text(), QStringLiteral("31.02.2023"));
        EXPECT_EQ(form.changes->count(), 0);
    }
}

TEST(TypedEdit, ErasedDateIsEmptiedOnLeavingAndReadsAsZero) {
    Form form(Type::Date);
    form.show();
    form.edit->setFocus(Qt::TabFocusReason);
    form.edit->selectAll();
    QTest::keyClick(form.edit, Qt::Key_Delete);
    form.leave();
    EXPECT_TRUE(form.errors.isEmpty());
    EXPECT_TRUE(form.edit->isEmpty());
    EXPECT_FALSE(form.edit->date().isValid());
    EXPECT_EQ(form.edit->floatValue(), 0.0);
    EXPECT_EQ(form.edit->integer(), 0);
    EXPECT_EQ(form.edit->displayText(), QStringLiteral("__.__.____"));
    EXPECT_EQ(form.changes->count(), 1);
}

TEST(TypedEdit, EscapeEmptiesAndFiresOnChange) {
    for (const Type type : {Type::Date, Type::Float, Type::String}) {
        Form form(type);
        form.show();
        form.edit->setInteger(7);
        form.changes->clear();
        form.edit->setFocus();
        QTest::keyClick(form.edit, Qt::Key_Escape);
        EXPECT_TRUE(form.edit->isEmpty());
        EXPECT_EQ(form.changes->count(), 1);
    }
}

TEST(TypedEdit, DateOfZeroOrLessEmpties) {
    struct Case {
        QDate date;
        bool empties;
    };
    const Case cases[] = {{QDate(), true},
                          {QDate(1899, 12, 30), true},
                          {QDate(1800, 1, 1), true},
                          {QDate(1899, 12, 31), false},
                          {QDate(2024, 2, 29), false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        Form form(Type::Date);
        form.show();
        form.edit->setDate(c.date);
        EXPECT_EQ(form.edit->isEmpty(), c.empties);
        EXPECT_EQ(form.edit->date(), c.empties ? QDate() : c.date);
        EXPECT_EQ(form.changes->count(), 1);
    }
}

TEST(TypedEdit, FloatWithGroupingAcceptsSeparatorsAndShowsTwoDecimals) {
    struct Case {
        QLocale locale;
        QString typed, shown;
    };
    const Case cases[] = {
        {QLocale(QLocale::Slovenian, QLocale::Slovenia), QStringLiteral("1.234.567,5"),
         QStringLiteral("1.234.567,50")},
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("1,234,567.5"),
         QStringLiteral("1,234,567.50")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        Form form(Type::Float, QStringLiteral(",0.00"));
        form.edit->setLocale(c.locale);
        form.retype(c.typed);
        QTest::keyClick(form.edit, Qt::Key_Return);
        EXPECT_TRUE(form.errors.isEmpty());
        EXPECT_DOUBLE_EQ(form.edit->floatValue(), 1234567.5);
        EXPECT_EQ(form.edit->text(), c.shown);
    }
}

TEST(TypedEdit, TypedTextConvertsByType) {
    struct Case {
        Type type;
        QString format, typed;
        QString shown; // after applying; empty with an error
        QString error;
    };
    const Case cases[] = {
        {Type::Float, QStringLiteral("0.00"), QStringLiteral("-0,25"), QStringLiteral("-0,25"), {}},
        {Type::Float, {}, QStringLiteral("1234,5"), QStringLiteral("1234,5"), {}},
        {Type::Float, {}, QStringLiteral("?"), {}, {}},
        {Type::Float,
         {},
         QStringLiteral("1,2,3"),
         {},
         QStringLiteral("'1,2,3' ni veljavno število")},
        {Type::Float, {}, QStringLiteral("abc"), {}, QStringLiteral("'abc' ni veljavno število")},
        {Type::Integer, QStringLiteral("0"), QStringLiteral("42"), QStringLiteral("42"), {}},
        {Type::Integer,
         {},
         QStringLiteral("4x"),
         {},
         QStringLiteral("'4x' ni veljavno celo število")},
        {Type::String, {}, QStringLiteral(" a b "), QStringLiteral(" a b "), {}},
        {Type::String, {}, QStringLiteral("?"), {}, {}},
        {Type::Time, {}, QStringLiteral("130509"), QStringLiteral("13:05:09"), {}},
        {Type::Time,
         {},
         QStringLiteral("256000"),
         {},
         QStringLiteral("'25:60:00' ni veljaven čas (hh:mm:ss)")},
        {Type::DateTime,
         QStringLiteral("dd.mm.yyyy hh:nn"),
         QStringLiteral("150320241305"),
         QStringLiteral("15.03.2024 13:05"),
         {}},
        {Type::DateTime,
         {},
         QStringLiteral("15032024130509"),
         QStringLiteral("15.03.2024 13:05:09"),
         {}},
        {Type::DateTime,
         {},
         QStringLiteral("1503"),
         {},
         QStringLiteral("'15.03. ::' ni veljaven datum in čas (dd.mm.llll hh:mm:ss)")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        Form form(c.type, c.format);
        form.retype(c.typed);
        QTest::keyClick(form.edit, Qt::Key_Return);
        if (c.error.isEmpty()) {
            EXPECT_TRUE(form.errors.isEmpty()) << form.errors.join(u'|').toStdString();
            EXPECT_EQ(form.edit->stringValue(), c.shown);
            EXPECT_EQ(form.edit->isEmpty(), c.shown.isEmpty());
        } else {
            EXPECT_EQ(form.errors, QStringList{c.error});
            EXPECT_TRUE(form.edit->isTouched());
        }
    }
}

TEST(TypedEdit, TouchingTurnsTheTextRedAndFiresOnTouchOncePerPeriod) {
    Form form(Type::Integer);
    form.show();
    form.edit->setFocus();
    const QColor normal = textColour(*form.edit);
    EXPECT_NE(normal, QColor(Qt::red));
    QTest::keyClicks(form.edit, QStringLiteral("12"));
    EXPECT_EQ(form.touches->count(), 1);
    EXPECT_EQ(textColour(*form.edit), QColor(Qt::red));
    QTest::keyClick(form.edit, Qt::Key_Return);
    EXPECT_EQ(form.edit->integer(), 12);
    EXPECT_EQ(textColour(*form.edit), normal);
    QTest::keyClick(form.edit, Qt::Key_3);
    EXPECT_EQ(form.touches->count(), 2);
}

TEST(TypedEdit, KeysThatStartTouching) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool touches;
    };
    const Case cases[] = {
        {Qt::Key_Backspace, Qt::NoModifier, true}, {Qt::Key_Delete, Qt::NoModifier, true},
        {Qt::Key_V, Qt::ControlModifier, true},    {Qt::Key_A, Qt::NoModifier, true},
        {Qt::Key_Left, Qt::NoModifier, false},     {Qt::Key_Home, Qt::NoModifier, false},
        {Qt::Key_C, Qt::ControlModifier, false},   {Qt::Key_Shift, Qt::ShiftModifier, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
        Form form(Type::String);
        form.show();
        form.edit->setFocus();
        QTest::keyClick(form.edit, c.key, c.modifiers);
        EXPECT_EQ(form.edit->isTouched(), c.touches);
        EXPECT_EQ(form.touches->count(), c.touches ? 1 : 0);
    }
}

TEST(TypedEdit, ReadOnlyEditIsNotTouched) {
    Form form(Type::String);
    form.edit->setReadOnly(true);
    form.show();
    form.edit->setFocus();
    QTest::keyClicks(form.edit, QStringLiteral("ab"));
    QTest::keyClick(form.edit, Qt::Key_Backspace);
    EXPECT_FALSE(form.edit->isTouched());
    EXPECT_EQ(form.touches->count(), 0);
}

TEST(TypedEdit, SettersConvertThroughTheEditsType) {
    struct Case {
        Type type;
        bool fixed;
        QString format;
        std::function<void(TypedEdit &)> set;
        Type resultType;
        QString shown, error;
    };
    const auto date = [](TypedEdit &e) { e.setDate(QDate(2024, 3, 5)); };
    const auto five = [](TypedEdit &e) { e.setInteger(5); };
    const auto half = [](TypedEdit &e) { e.setFloat(-1234.5); };
    const Case cases[] = {
        {Type::Date, true, {}, date, Type::Date, QStringLiteral("05.03.2024"), {}},
        {Type::Date,
         true,
         QStringLiteral("yyyy-mm-dd"),
         date,
         Type::Date,
         QStringLiteral("2024-03-05"),
         {}},
        {Type::DateTime, true, {}, date, Type::DateTime, QStringLiteral("05.03.2024 00:00:00"), {}},
        {Type::String, true, {}, date, Type::String, QStringLiteral("05.03.2024"), {}},
        {Type::String, false, {}, date, Type::Date, QStringLiteral("05.03.2024"), {}},
        {Type::Float, true, QStringLiteral(",0.00"), five, Type::Float, QStringLiteral("5,00"), {}},
        {Type::Float,
         true,
         QStringLiteral(",0.00"),
         half,
         Type::Float,
         QStringLiteral("-1.234,50"),
         {}},
        {Type::Integer, true, {}, five, Type::Integer, QStringLiteral("5"), {}},
        {Type::Integer,
         true,
         {},
         half,
         Type::Integer,
         {},
         QStringLiteral("'-1234,5' ni veljavno celo število")},
        {Type::Integer, false, {}, half, Type::Float, QStringLiteral("-1234,5"), {}},
        {Type::Date,
         true,
         {},
         five,
         Type::Date,
         {},
         QStringLiteral("'5' ni veljaven datum (dd.mm.llll)")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shown.toStdString() + c.error.toStdString());
        Form form(c.type, c.format);
        form.edit->setDataTypeFixed(c.fixed);
        form.retype(QStringLiteral("9")); // a touched edit; every set ends the touch
        c.set(*form.edit);
        EXPECT_EQ(form.edit->dataType(), c.resultType);
        if (c.error.isEmpty()) {
            EXPECT_EQ(form.edit->text(), c.shown);
            EXPECT_FALSE(form.edit->isTouched());
            EXPECT_EQ(form.changes->count(), 1);
        } else {
            EXPECT_EQ(form.errors, QStringList{c.error});
            EXPECT_EQ(form.changes->count(), 0);
        }
    }
}

TEST(TypedEdit, ValuesReadAcrossTypes) {
    Form date(Type::Date);
    date.edit->setDate(QDate(2024, 3, 15));
    EXPECT_EQ(date.edit->floatValue(), 45366.0); // days since 30.12.1899
    EXPECT_EQ(date.edit->integer(), 45366);
    EXPECT_EQ(date.edit->dateTime(), QDateTime(QDate(2024, 3, 15), QTime(0, 0)));

    Form moment(Type::DateTime);
    moment.edit->setStoredText(QStringLiteral("15.03.2024 12:00"));
    moment.edit->loaded();
    EXPECT_DOUBLE_EQ(moment.edit->floatValue(), 45366.5);
    EXPECT_EQ(moment.edit->time(), QTime(12, 0));

    Form number(Type::Float);
    number.edit->setFloat(45366.75);
    EXPECT_EQ(number.edit->date(), QDate(2024, 3, 15));
    EXPECT_EQ(number.edit->time(), QTime(18, 0));
    EXPECT_EQ(number.edit->integer(), 45367);
}

TEST(TypedEdit, InputMaskFollowsTheType) {
    struct Case {
        Type type;
        QString format;
        bool zoom;
        QString mask;
    };
    const Case cases[] = {
        {Type::Date, {}, false, QStringLiteral("00.00.0000;_")},
        {Type::Date, QStringLiteral("dd.mm.yyyy"), false, QStringLiteral("00.00.0000;_")},
        {Type::Date, {}, true, {}},
        {Type::Date, QStringLiteral("yyyy-mm-dd"), false, {}},
        {Type::Time, {}, false, QStringLiteral("00:00:00;_")},
        {Type::DateTime, QStringLiteral("dd.mm.yyyy hh:nn"), false,
         QStringLiteral("00.00.0000 00:00;_")},
        {Type::DateTime, {}, false, QStringLiteral("00.00.0000 00:00:00;_")},
        {Type::DateTime, QStringLiteral("dd.mm.yyyy hh:nn:ss.zzz"), false,
         QStringLiteral("00.00.0000 00:00:00.000;_")},
        {Type::Float, QStringLiteral(",0.00"), false, {}},
        {Type::Integer, {}, false, {}},
        {Type::String, {}, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mask.toStdString());
        Form form(c.type, c.format);
        if (c.zoom)
            form.edit->setOnZoom([] {});
        EXPECT_EQ(form.edit->inputMask(), c.mask);
    }
}

TEST(TypedEdit, PickerOpensOnEnterDoubleClickAndButton) {
    enum Trigger { Enter, DoubleClick, Button };
    for (const Trigger trigger : {Enter, DoubleClick, Button}) {
        SCOPED_TRACE(trigger);
        Form form(Type::Date);
        form.show();
        form.edit->setFocus();
        form.edit->dateAnswer = QDate(2024, 4, 1);
        if (trigger == Enter)
            QTest::keyClick(form.edit, Qt::Key_Return);
        else if (trigger == DoubleClick)
            QTest::mouseDClick(form.edit, Qt::LeftButton);
        else
            form.edit->findChild<QToolButton *>(QStringLiteral("pickerButton"))->click();
        EXPECT_EQ(form.edit->opened, QStringList{QStringLiteral("date 2024-03-15")});
        EXPECT_EQ(form.edit->date(), QDate(2024, 4, 1));
        EXPECT_EQ(form.changes->count(), 1);
    }
}

TEST(TypedEdit, PickerDialogsByType) {
    struct Case {
        Type type;
        bool enabled;
        bool zoom;
        QStringList opened;
        QString shown; // after the scripted answers 01.04.2024 and 08:30:00
        bool changed;
    };
    const QString kept = QStringLiteral("15.03.2024"); // a date edit holds today until then
    const Case cases[] = {
        {Type::Date,
         true,
         false,
         {QStringLiteral("date 2024-03-15")},
         QStringLiteral("01.04.2024"),
         true},
        {Type::Time,
         true,
         false,
         {QStringLiteral("time 00:00:00")},
         QStringLiteral("08:30:00"),
         true},
        {Type::DateTime,
         true,
         false,
         {QStringLiteral("date 2024-03-15"), QStringLiteral("time 00:00:00")},
         QStringLiteral("01.04.2024 08:30:00"),
         true},
        {Type::Float, true, false, {}, {}, false},
        {Type::Integer, true, false, {}, {}, false},
        {Type::String, true, false, {}, {}, false},
        {Type::Date, false, false, {}, kept, false},
        {Type::DateTime, false, false, {}, {}, false},
        {Type::Time,
         false,
         false,
         {QStringLiteral("time 00:00:00")},
         QStringLiteral("08:30:00"),
         true},
        {Type::Date, true, true, {}, kept, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.opened.join(u',').toStdString() + " " + c.shown.toStdString());
        Form form(c.type);
        form.edit->dateAnswer = QDate(2024, 4, 1);
        form.edit->timeAnswer = QTime(8, 30);
        int zooms = 0;
        if (c.zoom)
            form.edit->setOnZoom([&zooms] { ++zooms; });
        form.edit->setEnabled(c.enabled);
        form.edit->openPicker();
        EXPECT_EQ(form.edit->opened, c.opened);
        EXPECT_EQ(form.edit->stringValue(), c.shown);
        EXPECT_EQ(form.changes->count(), c.changed ? 1 : 0);
        EXPECT_EQ(zooms, c.zoom ? 1 : 0);
    }
}

TEST(TypedEdit, CancelledPickerLeavesTheValue) {
    Form form(Type::DateTime);
    form.edit->setStoredText(QStringLiteral("15.03.2024 10:00"));
    form.edit->loaded();
    form.edit->dateAnswer = QDate(2024, 4, 1); // the clock is then cancelled
    form.edit->openPicker();
    EXPECT_EQ(form.edit->opened,
              (QStringList{QStringLiteral("date 2024-03-15"), QStringLiteral("time 10:00:00")}));
    EXPECT_EQ(form.edit->dateTime(), QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
    EXPECT_EQ(form.changes->count(), 0);
}

TEST(TypedEdit, ButtonsStandAtTheRightEdgeWhileFocused) {
    Form form(Type::Date);
    form.show();
    auto *picker = form.edit->findChild<QToolButton *>(QStringLiteral("pickerButton"));
    auto *clear = form.edit->findChild<QToolButton *>(QStringLiteral("clearButton"));
    ASSERT_TRUE(picker && clear);
    form.leave();
    EXPECT_FALSE(picker->isVisible());

    form.edit->setFocus();
    EXPECT_TRUE(picker->isVisible());
    EXPECT_TRUE(clear->isVisible());
    EXPECT_EQ(clear->geometry().right(), form.edit->rect().right());
    EXPECT_EQ(clear->height(), form.edit->height());
    EXPECT_TRUE(picker->isEnabled());
    form.edit->setReadOnly(true);
    EXPECT_FALSE(picker->isEnabled());

    clear->click();
    EXPECT_TRUE(form.edit->isEmpty());
    EXPECT_EQ(form.changes->count(), 1);

    form.leave();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_FALSE(clear->isVisible());
}

TEST(TypedEdit, DatesKeepTheirNaturalWidthWhereOtherTypesStretch) {
    for (const auto type : {Type::Date, Type::Time, Type::DateTime, Type::String, Type::Float}) {
        const bool natural = type == Type::Date || type == Type::Time || type == Type::DateTime;
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new TypedEdit(type, &window);
        layout->addWidget(edit);
        window.resize(1500, 40);
        window.show();
        QApplication::processEvents();
        EXPECT_EQ(edit->width() < 250, natural) << static_cast<int>(type) << " " << edit->width();
        if (type == Type::Date) {
            EXPECT_GE(edit->width(),
                      edit->fontMetrics().horizontalAdvance("00.00.0000") + 2 * edit->height())
                << "room for the text and the two buttons";
        }
    }
}

TEST(TypedEdit, DroppedValueIsTakenByMatchingTypes) {
    struct Case {
        Type target;
        bool fixed;
        bool accepted;
    };
    const Case cases[] = {{Type::Date, true, true},
                          {Type::Float, true, false},
                          {Type::Float, false, true},
                          {Type::String, true, false}};
    for (const Case &c : cases) {
        Form source(Type::Date);
        source.edit->setDate(QDate(2023, 6, 30));
        Form target(c.target);
        target.edit->setDataTypeFixed(c.fixed);
        std::unique_ptr<QMimeData> data(source.edit->createValueMimeData());
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target.edit, &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target.edit, &drop);
        EXPECT_EQ(target.edit->date(), c.accepted ? QDate(2023, 6, 30) : QDate());
        EXPECT_EQ(target.changes->count(), c.accepted ? 1 : 0);
        EXPECT_EQ(target.edit->dataType(), c.accepted ? Type::Date : c.target);
    }
}

TEST(TypedEdit, OtherDragsGoToTheDragHandlers) {
    Form form(Type::String);
    QMimeData text;
    text.setText(QStringLiteral("x"));
    QDragEnterEvent refused(QPoint(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.edit, &refused);
    EXPECT_FALSE(refused.isAccepted()) << "without handlers a plain text drag is refused";

    int drops = 0;
    form.edit->setOnDragOver([](QDragMoveEvent *e) { return e->mimeData()->hasText(); });
    form.edit->setOnDragDrop([&drops](QDropEvent *) { ++drops; });
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.edit, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.edit, &drop);
    EXPECT_EQ(drops, 1);
    EXPECT_TRUE(form.edit->isEmpty());
}

TEST(TypedEdit, TouchingEmptiesTheOtherEditsOfTheGroup) {
    QWidget window;
    QWidget elsewhere;
    auto make = [](QWidget *parent, int group) {
        auto *edit = new TypedEdit(TypedEdit::DataType::Integer, parent);
        edit->setGroupIndex(group);
        edit->setInteger(group + 10);
        return edit;
    };
    TypedEdit *touched = make(&window, 1);
    TypedEdit *sameGroup = make(&window, 1);
    TypedEdit *otherGroup = make(&window, 2);
    TypedEdit *otherParent = make(&elsewhere, 1);
    TypedEdit *noGroup = make(&window, 0);
    QTest::keyClick(touched, Qt::Key_5);
    EXPECT_FALSE(touched->isEmpty());
    EXPECT_TRUE(sameGroup->isEmpty());
    EXPECT_FALSE(otherGroup->isEmpty());
    EXPECT_FALSE(otherParent->isEmpty());
    EXPECT_FALSE(noGroup->isEmpty());
}

TEST(TypedEditPicker, CalendarChoosesTheDayActivatedByKeyboard) {
    DatePickerDialog dialog(QDate(2024, 3, 15));
    dialog.show();
    QWidget *days = dialog.calendar()->focusProxy();
    ASSERT_TRUE(days);
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedDate(), QDate(2024, 3, 16));
}
