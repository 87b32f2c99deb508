#pragma once

#include <QDialog>
#include <QList>
#include <optional>

class QFormLayout;
class QPushButton;
class Session;
class TypedEdit;

// What the EMIR report and dispute dialogs share: the fields above "Zapiši" and "Preklic", and
// "Zapiši" itself: what is still being typed counts, the first failing check is said and its
// field focused, then the record is saved; the dialog stays open with what was typed when a
// check or the save fails.
class EmirEditDialog : public QDialog {
    Q_OBJECT
public:
    // The saved record's identifier; 0 until saved.
    qint64 savedId() const { return savedId_; }

    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

public Q_SLOTS:
    void btnOKClick();

protected:
    EmirEditDialog(Session &session, const QString &objectName, const QString &title,
                   QWidget *parent);

    // A date field whose "today" is the run's.
    TypedEdit *dateEdit(const QString &name);
    // Puts the fields above the two buttons; called once the fields exist, so that the buttons
    // come after them in the focus order.
    void arrange(QFormLayout *fields);

    struct Failure {
        QWidget *field;
        QString message;
    };
    // The typed fields whose text still being typed counts.
    virtual QList<TypedEdit *> typedFields() const = 0;
    // The first failing check of the record as the fields hold it.
    virtual std::optional<Failure> check() const = 0;
    // Saves the record as the fields hold it; gives its identifier.
    virtual qint64 save() = 0;

    Session &session_;

private:
    qint64 savedId_ = 0;
};
