#include "TypedEdit.h"

#include "DisplayDefaults.h"
#include "DisplayFormat.h"
#include "ShortDateFormat.h"
#include "TypedEditPicker.h"

#include <QApplication>
#include <QDataStream>
#include <QDrag>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <cmath>

const QString TypedEdit::valueMimeType = QStringLiteral("application/x-rapo-typed-value");

namespace {
// Day 0 of the day numbers that dates read as when taken as numbers.
const QDate dayZero(1899, 12, 30);
constexpr qint64 msPerDay = 24 * 60 * 60 * 1000;
const QString longTimeFormat = QStringLiteral("HH:mm:ss");
const QString defaultDateTimePattern = QStringLiteral("dd.mm.yyyy hh:nn:ss");
constexpr QChar maskBlank = u'_';

// Date-times are kept as wall-clock values; UTC keeps them clear of daylight-saving gaps.
QDateTime wallClock(const QDate &date, const QTime &time) {
    return QDateTime(date, time, Qt::UTC);
}

QDate readShortDate(const QString &text) {
    // The short date format, also with one-digit day and month.
    return QDate::fromString(text.trimmed(), QStringLiteral("d.M.yyyy"));
}

QTime readLongTime(const QString &text) {
    const QString t = text.trimmed();
    for (const char *format : {"H:m:s", "H:m", "H:m:s.z"}) {
        const QTime time = QTime::fromString(t, QLatin1StringView(format));
        if (time.isValid())
            return time;
    }
    return {};
}

struct Payload {
    TypedEdit::DataType type = TypedEdit::DataType::String;
    bool empty = true;
    QVariant value;
};

std::optional<Payload> readPayload(const QMimeData *data) {
    if (!data || !data->hasFormat(TypedEdit::valueMimeType))
        return std::nullopt;
    QDataStream stream(data->data(TypedEdit::valueMimeType));
    qint32 type = 0;
    Payload payload;
    stream >> type >> payload.empty >> payload.value;
    if (stream.status() != QDataStream::Ok || type < 0 ||
        type > static_cast<qint32>(TypedEdit::DataType::DateTime))
        return std::nullopt;
    payload.type = static_cast<TypedEdit::DataType>(type);
    return payload;
}

QToolButton *smallButton(const QString &text, const QString &tip, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    button->setAutoRaise(true);
    button->hide();
    return button;
}
} // namespace

TypedEdit::TypedEdit(QWidget *parent) : TypedEdit(DataType::String, parent) {}

TypedEdit::TypedEdit(DataType type, QWidget *parent)
    : QLineEdit(parent), dataType_(type), today_([] { return QDate::currentDate(); }),
      pickerButton_(smallButton(QStringLiteral("…"), tr("Izbira"), this)),
      clearButton_(smallButton(QStringLiteral("×"), tr("Počisti"), this)) {
    setLocale(DisplayFormat::userLocale());
    const DisplayDefaults &defaults = DisplayDefaults::workstation();
    setFont(QFont(defaults.fontName, defaults.fontSize));
    pickerButton_->setObjectName(QStringLiteral("pickerButton"));
    clearButton_->setObjectName(QStringLiteral("clearButton"));
    setFrame(false);
    setFixedHeight(18);
    setTextMargins(2, 0, 0, 0);
    setColor(palette().color(QPalette::Button));
    updateTextColor();
    updateMask();
    updateSizePolicy();
    connect(pickerButton_, &QToolButton::clicked, this, &TypedEdit::openPicker);
    connect(clearButton_, &QToolButton::clicked, this, &TypedEdit::clear);
    // Changes that do not come through a key (the context menu's paste, cut) touch as well.
    connect(this, &QLineEdit::textEdited, this, &TypedEdit::touch);
    holdTodayUntilLoaded();
}

void TypedEdit::setDataType(DataType type) {
    dataType_ = type;
    empty_ = true;
    value_ = QVariant();
    endTouch();
    updateMask();
    updateSizePolicy();
    setText(shownText());
    holdTodayUntilLoaded();
}

void TypedEdit::updateSizePolicy() {
    const bool fixed = dataType_ == DataType::Date || dataType_ == DataType::Time ||
                       dataType_ == DataType::DateTime;
    setSizePolicy(fixed ? QSizePolicy::Fixed : QSizePolicy::Expanding, QSizePolicy::Fixed);
    updateGeometry();
}

QSize TypedEdit::sizeHint() const {
    QString sample;
    switch (dataType_) {
    case DataType::Date:
        sample = QStringLiteral("00.00.00000");
        break;
    case DataType::Time:
        sample = QStringLiteral("00:00:000");
        break;
    case DataType::DateTime:
        sample = QStringLiteral("00.00.0000 00:00:000");
        break;
    default:
        return QLineEdit::sizeHint();
    }
    // Room for the picker and clear buttons, which stand inside the right edge while editing.
    const int buttons = 2 * height();
    return {fontMetrics().horizontalAdvance(sample) + 2 + buttons + 6, height()};
}

void TypedEdit::setDisplayFormat(const QString &format) {
    displayFormat_ = format;
    updateMask();
    if (!touched_)
        setText(shownText());
}

QColor TypedEdit::color() const {
    return palette().color(QPalette::Base);
}

void TypedEdit::setColor(const QColor &color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void TypedEdit::setOnZoom(std::function<void()> handler) {
    onZoom_ = std::move(handler);
    updateMask();
    if (!touched_)
        setText(shownText());
}

void TypedEdit::setOnDragOver(std::function<bool(QDragMoveEvent *)> handler) {
    onDragOver_ = std::move(handler);
}

void TypedEdit::setOnDragDrop(std::function<void(QDropEvent *)> handler) {
    onDragDrop_ = std::move(handler);
}

void TypedEdit::setToday(std::function<QDate()> today) {
    today_ = std::move(today);
    holdTodayUntilLoaded();
}

void TypedEdit::setErrorReporter(std::function<void(const QString &)> reporter) {
    errorReporter_ = std::move(reporter);
}

void TypedEdit::loaded() {
    loadPending_ = false;
    if (dataType_ == DataType::Date) {
        const QDate today = today_();
        assign(DataType::Date, !today.isValid(), today, false);
        return;
    }
    const Converted converted = convert(dataType_, storedText_);
    if (!converted.error.isEmpty()) {
        reportError(converted.error);
        return;
    }
    assign(dataType_, converted.empty, converted.value, false);
}

QDate TypedEdit::date() const {
    if (empty_)
        return {};
    switch (dataType_) {
    case DataType::Date:
        return value_.toDate();
    case DataType::DateTime:
        return value_.toDateTime().date();
    case DataType::Integer:
    case DataType::Float: {
        const auto days = static_cast<qint64>(std::floor(value_.toDouble()));
        return days > 0 ? dayZero.addDays(days) : QDate();
    }
    case DataType::String:
        return readShortDate(value_.toString());
    case DataType::Time:
        break;
    }
    return {};
}

QTime TypedEdit::time() const {
    if (empty_)
        return {};
    switch (dataType_) {
    case DataType::Time:
        return value_.toTime();
    case DataType::DateTime:
        return value_.toDateTime().time();
    case DataType::Float: {
        const double number = value_.toDouble();
        const double fraction = number - std::floor(number);
        return QTime(0, 0).addMSecs(static_cast<int>(std::llround(fraction * msPerDay) % msPerDay));
    }
    case DataType::String:
        return readLongTime(value_.toString());
    case DataType::Integer:
    case DataType::Date:
        break;
    }
    return {};
}

QDateTime TypedEdit::dateTime() const {
    const QDate d = date();
    if (!d.isValid())
        return {};
    const QTime t = dataType_ == DataType::Date ? QTime(0, 0) : time();
    return QDateTime(d, t.isValid() ? t : QTime(0, 0));
}

double TypedEdit::floatValue() const {
    if (empty_)
        return 0;
    switch (dataType_) {
    case DataType::Float:
    case DataType::Integer:
        return value_.toDouble();
    case DataType::Date:
        return static_cast<double>(dayZero.daysTo(value_.toDate()));
    case DataType::DateTime: {
        const QDateTime moment = value_.toDateTime();
        return static_cast<double>(dayZero.daysTo(moment.date())) +
               static_cast<double>(moment.time().msecsSinceStartOfDay()) / msPerDay;
    }
    case DataType::Time:
        return static_cast<double>(value_.toTime().msecsSinceStartOfDay()) / msPerDay;
    case DataType::String: {
        const Converted number = convert(DataType::Float, value_.toString());
        return number.error.isEmpty() && !number.empty ? number.value.toDouble() : 0;
    }
    }
    return 0;
}

int TypedEdit::integer() const {
    if (empty_)
        return 0;
    switch (dataType_) {
    case DataType::Integer:
        return value_.toInt();
    case DataType::String:
        return value_.toString().trimmed().toInt();
    case DataType::Float:
        return qRound(value_.toDouble());
    case DataType::Date:
    case DataType::DateTime:
    case DataType::Time:
        return static_cast<int>(std::floor(floatValue()));
    }
    return 0;
}

QString TypedEdit::stringValue() const {
    if (empty_)
        return {};
    return dataType_ == DataType::String ? value_.toString() : shownText();
}

void TypedEdit::setDate(const QDate &date) {
    if (!date.isValid() || date <= dayZero) {
        clear();
        return;
    }
    assignThroughText(DataType::Date, ShortDateFormat::toText(date));
}

void TypedEdit::setFloat(double value) {
    const QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    assignThroughText(DataType::Float, QString(text).replace(u'.', locale().decimalPoint()));
}

void TypedEdit::setInteger(int value) {
    assignThroughText(DataType::Integer, QString::number(value));
}

void TypedEdit::clear() {
    assign(dataType_, true, QVariant(), true);
}

bool TypedEdit::applyTypedText() {
    return applyTyped(false);
}

bool TypedEdit::applyTyped(bool reportLater) {
    const Converted converted = convertTyped(text());
    if (converted.error.isEmpty()) {
        assign(dataType_, converted.empty, converted.value, true);
        return true;
    }
    if (reportLater) {
        const QString error = converted.error;
        QMetaObject::invokeMethod(
            this,
            [this, error] {
                reportError(error);
                setFocus(Qt::OtherFocusReason);
            },
            Qt::QueuedConnection);
    } else {
        reportError(converted.error);
        setFocus(Qt::OtherFocusReason);
    }
    return false;
}

void TypedEdit::reportError(const QString &message) {
    applying_ = true;
    if (errorReporter_)
        errorReporter_(message);
    else
        QMessageBox::critical(window(), QStringLiteral("RAPO"), message);
    applying_ = false;
}

void TypedEdit::openPicker() {
    if (onZoom_) {
        onZoom_();
        return;
    }
    // A read-only value is not changed by a dialog either; a disabled edit offers only the clock.
    if (isReadOnly())
        return;
    switch (dataType_) {
    case DataType::Date: {
        if (!isEnabled())
            return;
        const std::optional<QDate> chosen = pickDate(empty_ ? today_() : date());
        if (chosen && chosen->isValid())
            assign(DataType::Date, false, *chosen, true);
        return;
    }
    case DataType::Time: {
        const std::optional<QTime> chosen = pickTime(empty_ ? QTime(0, 0) : time());
        if (chosen && chosen->isValid())
            assign(DataType::Time, false, *chosen, true);
        return;
    }
    case DataType::DateTime: {
        if (!isEnabled())
            return;
        const std::optional<QDate> day = pickDate(empty_ ? today_() : date());
        if (!day || !day->isValid())
            return;
        const std::optional<QTime> clock = pickTime(empty_ ? QTime(0, 0) : time());
        if (clock && clock->isValid())
            assign(DataType::DateTime, false, wallClock(*day, *clock), true);
        return;
    }
    case DataType::String:  // on-screen keyboard: not offered
    case DataType::Float:   // calculator: not offered
    case DataType::Integer: // no picker
        return;
    }
}

QMimeData *TypedEdit::createValueMimeData() const {
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << static_cast<qint32>(dataType_) << empty_ << value_;
    auto *data = new QMimeData;
    data->setData(valueMimeType, payload);
    data->setText(stringValue());
    return data;
}

std::optional<QDate> TypedEdit::pickDate(const QDate &initial) {
    DatePickerDialog dialog(initial, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedDate();
}

std::optional<QTime> TypedEdit::pickTime(const QTime &initial) {
    TimePickerDialog dialog(initial, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedTime();
}

void TypedEdit::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (touched_)
            applyTypedText();
        else if (dataType_ != DataType::String || onZoom_)
            openPicker();
        event->accept();
        return;
    case Qt::Key_Escape:
        clear();
        event->accept();
        return;
    default:
        break;
    }
    if (!isReadOnly()) {
        const QString typed = event->text();
        const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
            event->matches(QKeySequence::Paste))
            touch();
    }
    QLineEdit::keyPressEvent(event);
}

void TypedEdit::mousePressEvent(QMouseEvent *event) {
    pressPos_ = event->position().toPoint();
    pressForDrag_ = event->button() == Qt::LeftButton && !touched_ && !empty_;
    QLineEdit::mousePressEvent(event);
}

void TypedEdit::mouseMoveEvent(QMouseEvent *event) {
    if (pressForDrag_ && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressPos_).manhattanLength() >=
            QApplication::startDragDistance()) {
        pressForDrag_ = false;
        auto *drag = new QDrag(this);
        drag->setMimeData(createValueMimeData());
        drag->exec(Qt::CopyAction);
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void TypedEdit::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    pressForDrag_ = false;
    openPicker();
    event->accept();
}

void TypedEdit::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    setButtonsVisible(true);
}

void TypedEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    setButtonsVisible(false);
    // Only a move to another control applies; a message box or another window does not.
    const bool leaving =
        event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
    if (touched_ && leaving && !applying_)
        applyTyped(true);
}

void TypedEdit::showEvent(QShowEvent *event) {
    QLineEdit::showEvent(event);
    if (loadPending_)
        loaded();
}

void TypedEdit::resizeEvent(QResizeEvent *event) {
    QLineEdit::resizeEvent(event);
    placeButtons();
}

void TypedEdit::changeEvent(QEvent *event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange)
        pickerButton_->setEnabled(!isReadOnly());
    else if (event->type() == QEvent::LocaleChange && !touched_)
        setText(shownText());
}

void TypedEdit::paintEvent(QPaintEvent *event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TypedEdit::dragEnterEvent(QDragEnterEvent *event) {
    dragMoveEvent(event);
}

void TypedEdit::dragMoveEvent(QDragMoveEvent *event) {
    if (event->mimeData()->hasFormat(valueMimeType)) {
        if (acceptsValueDrag(event->mimeData())) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
        return;
    }
    if (onDragOver_ && onDragOver_(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TypedEdit::dropEvent(QDropEvent *event) {
    if (event->mimeData()->hasFormat(valueMimeType)) {
        if (!acceptsValueDrag(event->mimeData())) {
            event->ignore();
            return;
        }
        const std::optional<Payload> payload = readPayload(event->mimeData());
        assign(payload->type, payload->empty, payload->value, true);
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    if (onDragDrop_) {
        onDragDrop_(event);
        return;
    }
    event->ignore();
}

TypedEdit::Converted TypedEdit::convert(DataType type, const QString &text) const {
    Converted result;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return result;
    result.empty = false;
    const auto fail = [&](const char *what) {
        result.error = QStringLiteral("'%1' ni %2").arg(text, QString::fromUtf8(what));
        return result;
    };
    switch (type) {
    case DataType::String:
        result.value = text;
        return result;
    case DataType::Integer: {
        bool ok = false;
        const int number = trimmed.toInt(&ok);
        if (!ok)
            return fail("veljavno celo število");
        result.value = number;
        return result;
    }
    case DataType::Float: {
        QString plain = trimmed;
        plain.remove(locale().groupSeparator());
        plain.replace(locale().decimalPoint(), QStringLiteral("."));
        bool ok = false;
        const double number = plain.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return fail("veljavno število");
        result.value = number;
        return result;
    }
    case DataType::Date: {
        const QDate date = readShortDate(trimmed);
        if (!date.isValid())
            return fail("veljaven datum (dd.mm.llll)");
        result.value = date;
        return result;
    }
    case DataType::Time: {
        const QTime time = readLongTime(trimmed);
        if (!time.isValid())
            return fail("veljaven čas (hh:mm:ss)");
        result.value = time;
        return result;
    }
    case DataType::DateTime: {
        const qsizetype blank = trimmed.indexOf(u' ');
        const QDate date = readShortDate(blank < 0 ? trimmed : trimmed.left(blank));
        const QTime time = blank < 0 ? QTime(0, 0) : readLongTime(trimmed.mid(blank + 1));
        if (!date.isValid() || !time.isValid())
            return fail("veljaven datum in čas (dd.mm.llll hh:mm:ss)");
        result.value = wallClock(date, time);
        return result;
    }
    }
    return result;
}

TypedEdit::Converted TypedEdit::convertTyped(const QString &text) const {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == u'?')
        return {};
    if (dataType_ != DataType::Date && dataType_ != DataType::DateTime &&
        dataType_ != DataType::Time)
        return convert(dataType_, text);

    // What is left of an erased masked field: blanks and separators.
    QString rest = trimmed;
    rest.remove(maskBlank);
    rest.remove(u' ');
    rest.remove(u'.');
    rest.remove(u':');
    if (rest.isEmpty())
        return {};
    if (dataType_ != DataType::Time && !displayFormat_.isEmpty()) {
        const QDateTime read =
            QDateTime::fromString(trimmed, DisplayFormat::qtDateTimeFormat(displayFormat_));
        if (read.isValid()) {
            Converted result;
            result.empty = false;
            if (dataType_ == DataType::Date)
                result.value = read.date();
            else
                result.value = wallClock(read.date(), read.time());
            return result;
        }
    }
    return convert(dataType_, trimmed);
}

QString TypedEdit::qtPattern() const {
    switch (dataType_) {
    case DataType::Date:
        return displayFormat_.isEmpty() ? ShortDateFormat::pattern
                                        : DisplayFormat::qtDateTimeFormat(displayFormat_);
    case DataType::DateTime:
        return DisplayFormat::qtDateTimeFormat(displayFormat_.isEmpty() ? defaultDateTimePattern
                                                                        : displayFormat_);
    case DataType::Time:
        return longTimeFormat;
    case DataType::String:
    case DataType::Integer:
    case DataType::Float:
        break;
    }
    return {};
}

QString TypedEdit::shownText() const {
    if (empty_)
        return {};
    switch (dataType_) {
    case DataType::String:
        return value_.toString();
    case DataType::Integer:
        return QString::number(value_.toInt());
    case DataType::Float:
        return DisplayFormat::formatFloat(value_.toDouble(), displayFormat_, locale());
    case DataType::Date:
        return value_.toDate().toString(qtPattern());
    case DataType::Time:
        return value_.toTime().toString(qtPattern());
    case DataType::DateTime:
        return value_.toDateTime().toString(qtPattern());
    }
    return {};
}

void TypedEdit::assign(DataType type, bool empty, const QVariant &value, bool notify) {
    loadPending_ = false;
    if (type != dataType_) {
        dataType_ = type;
        updateMask();
    }
    empty_ = empty;
    value_ = empty ? QVariant() : value;
    endTouch();
    setText(shownText());
    if (notify)
        Q_EMIT valueChanged();
}

void TypedEdit::assignThroughText(DataType naturalType, const QString &text) {
    const DataType type = dataTypeFixed_ ? dataType_ : naturalType;
    const Converted converted = convert(type, text);
    if (!converted.error.isEmpty()) {
        reportError(converted.error);
        return;
    }
    assign(type, converted.empty, converted.value, true);
}

void TypedEdit::holdTodayUntilLoaded() {
    if (!loadPending_ || dataType_ != DataType::Date)
        return;
    value_ = today_();
    empty_ = !value_.toDate().isValid();
    setText(shownText());
}

void TypedEdit::touch() {
    if (touched_)
        return;
    touched_ = true;
    updateTextColor();
    if (groupIndex_ > 0 && parentWidget()) {
        const auto siblings = parentWidget()->findChildren<TypedEdit *>(Qt::FindDirectChildrenOnly);
        for (TypedEdit *other : siblings) {
            if (other != this && other->groupIndex_ == groupIndex_)
                other->clear();
        }
    }
    Q_EMIT touched();
}

void TypedEdit::endTouch() {
    touched_ = false;
    updateTextColor();
}

void TypedEdit::updateMask() {
    QString mask;
    const QString pattern = qtPattern();
    if (!onZoom_ && !pattern.isEmpty()) {
        // The mask fits the shown text only when the pattern writes the same digits and
        // separators; a pattern of another shape gets no mask.
        const QDateTime sample(QDate(2000, 12, 28), QTime(23, 59, 58, 999));
        QString shape = sample.toString(pattern);
        for (QChar &c : shape) {
            if (c.isDigit())
                c = u'0';
        }
        QStringList candidates;
        if (dataType_ == DataType::Date)
            candidates = {QStringLiteral("00.00.0000")};
        else if (dataType_ == DataType::Time)
            candidates = {QStringLiteral("00:00:00")};
        else
            candidates = {QStringLiteral("00.00.0000 00:00"), QStringLiteral("00.00.0000 00:00:00"),
                          QStringLiteral("00.00.0000 00:00:00.000")};
        if (candidates.contains(shape))
            mask = shape + u';' + maskBlank;
    }
    if (mask != inputMask())
        setInputMask(mask);
}

void TypedEdit::updateTextColor() {
    QPalette p = palette();
    const QColor colour = touched_ ? QColor(Qt::red) : p.color(QPalette::ButtonText);
    p.setColor(QPalette::Active, QPalette::Text, colour);
    p.setColor(QPalette::Inactive, QPalette::Text, colour);
    setPalette(p);
}

void TypedEdit::placeButtons() {
    const int side = height();
    clearButton_->setGeometry(width() - side, 0, side, side);
    pickerButton_->setGeometry(width() - 2 * side, 0, side, side);
}

void TypedEdit::setButtonsVisible(bool visible) {
    pickerButton_->setEnabled(!isReadOnly());
    placeButtons();
    pickerButton_->setVisible(visible);
    clearButton_->setVisible(visible);
    setTextMargins(2, 0, visible ? 2 * height() : 0, 0);
}

bool TypedEdit::acceptsValueDrag(const QMimeData *data) const {
    if (!isEnabled() || isReadOnly())
        return false;
    const std::optional<Payload> payload = readPayload(data);
    return payload && (!dataTypeFixed_ || payload->type == dataType_);
}
