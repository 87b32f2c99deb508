#pragma once

#include <QDate>
#include <QDateTime>
#include <QLineEdit>
#include <QString>
#include <QTime>
#include <QVariant>
#include <functional>
#include <optional>

class QMimeData;
class QToolButton;

// The single-line field through which the user enters dates, amounts and counts. It holds a
// typed value rather than text, shows it formatted, commits what was typed only when the user
// confirms (Enter) or leaves the field, and offers a picker dialog for dates and times.
class TypedEdit : public QLineEdit {
    Q_OBJECT

public:
    enum class DataType { String, Integer, Float, Date, Time, DateTime };

    // The MIME type under which a value travels from one typed edit to another.
    static const QString valueMimeType;

    explicit TypedEdit(QWidget *parent = nullptr);
    explicit TypedEdit(DataType type, QWidget *parent = nullptr);

    // Changing the type empties the value.
    DataType dataType() const { return dataType_; }
    void setDataType(DataType type);
    bool dataTypeFixed() const { return dataTypeFixed_; }
    void setDataTypeFixed(bool fixed) { dataTypeFixed_ = fixed; }
    // A number pattern (",0.00") for floats, a date-time pattern ("dd.mm.yyyy hh:nn:ss") for
    // dates and date-times. Numbers are read and shown with the separators of the widget's
    // locale, the users' Slovenian one unless set otherwise.
    QString displayFormat() const { return displayFormat_; }
    void setDisplayFormat(const QString &format);
    // The text converted to the value when the window is loaded (not for dates: they start
    // with today's date).
    QString storedText() const { return storedText_; }
    void setStoredText(const QString &text) { storedText_ = text; }
    QColor color() const;
    void setColor(const QColor &color);
    // Replaces the picker dialog; the edit then has no input mask.
    void setOnZoom(std::function<void()> handler);
    // Consulted for drags that do not carry a typed value: whether to accept, and the drop.
    void setOnDragOver(std::function<bool(QDragMoveEvent *)> handler);
    void setOnDragDrop(std::function<void(QDropEvent *)> handler);
    // Touching an edit of a group greater than 0 empties the other edits of that group that
    // share its parent.
    int groupIndex() const { return groupIndex_; }
    void setGroupIndex(int index) { groupIndex_ = index; }

    // Whose "today" a date edit takes when its window is loaded.
    void setToday(std::function<QDate()> today);
    // Shows a conversion error; by default in a message box.
    void setErrorReporter(std::function<void(const QString &)> reporter);

    // A date or time keeps the width of its text and the two buttons; other types stretch.
    QSize sizeHint() const override;

    // The window is loaded: a date edit takes today's date, another converts its stored text.
    // Happens by itself when the edit is first shown, unless a value was set before. Until
    // then a date edit already holds today's date, so that windows not shown yet read it.
    void loaded();

    bool isEmpty() const { return empty_; }
    // Empty values read as an invalid date or time, 0 or an empty text.
    QDate date() const;
    QTime time() const;
    QDateTime dateTime() const;
    double floatValue() const;
    int integer() const;
    QString stringValue() const;

    // Each setter writes its value as text and applies it in the edit's type (or, while the type
    // is not fixed, in the setter's own type); then the text is shown again, the touched state
    // ends and valueChanged fires. A date that is invalid or not after 30.12.1899 empties the
    // value.
    void setDate(const QDate &date);
    void setFloat(double value);
    void setInteger(int value);

    bool isTouched() const { return touched_; }
    // Converts what was typed to the value, as Enter does; false (after reporting the error)
    // when the text does not convert.
    bool applyTypedText();
    // Opens the picker for the edit's type, or calls the zoom handler when one is set.
    void openPicker();

    QMimeData *createValueMimeData() const;

public Q_SLOTS:
    // Empties the value.
    void clear();

Q_SIGNALS:
    void valueChanged();
    void touched();

protected:
    // The dialogs of the picker; nullopt when the user cancels.
    virtual std::optional<QDate> pickDate(const QDate &initial);
    virtual std::optional<QTime> pickTime(const QTime &initial);

    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void updateSizePolicy();
    struct Converted {
        bool empty = true;
        QVariant value;
        QString error; // set when the text did not convert
    };

    Converted convert(DataType type, const QString &text) const;
    Converted convertTyped(const QString &text) const;
    QString qtPattern() const;
    QString shownText() const;
    bool applyTyped(bool reportLater);
    void reportError(const QString &message);
    void assign(DataType type, bool empty, const QVariant &value, bool notify);
    void assignThroughText(DataType naturalType, const QString &text);
    void holdTodayUntilLoaded();
    void touch();
    void endTouch();
    void updateMask();
    void updateTextColor();
    void placeButtons();
    void setButtonsVisible(bool visible);
    bool acceptsValueDrag(const QMimeData *data) const;

    DataType dataType_ = DataType::String;
    bool dataTypeFixed_ = true;
    QString displayFormat_;
    QString storedText_;
    std::function<void()> onZoom_;
    std::function<bool(QDragMoveEvent *)> onDragOver_;
    std::function<void(QDropEvent *)> onDragDrop_;
    int groupIndex_ = 0;
    std::function<QDate()> today_;
    std::function<void(const QString &)> errorReporter_;

    bool empty_ = true;
    QVariant value_;
    bool touched_ = false;
    bool applying_ = false;
    bool loadPending_ = true;
    QPoint pressPos_;
    bool pressForDrag_ = false;

    QToolButton *pickerButton_ = nullptr;
    QToolButton *clearButton_ = nullptr;
};
