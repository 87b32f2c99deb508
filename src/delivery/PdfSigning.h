#pragma once

#include "GnupgSigner.h"

#include <QString>
#include <QStringList>
#include <optional>

class ProcessRunner;
class Session;

// "Podpis in kriptiranje poročila" on the "PDF" page: each chosen PDF of the PDF folder is signed
// and encrypted for the regulator as report files are, then the PDF moves to `PDF_Server` and the
// signed file to `PDF_SIGServer`. There is no register: the folders are the whole state. A target
// that is the PDF folder itself is no move; a failed copy keeps its source.
class PdfSigning {
public:
    using Credentials = GnupgSigner::Credentials;
    struct Summary {
        QStringList delivered; // signed, and moved where they go
        QStringList failed;
    };

    // The object lives as long as the page: the adjusted GnuPG folder stays.
    PdfSigning(Session &session, ProcessRunner &runner);

    // `PDF_Path`, with its separator; the program directory when the setting is empty or "\".
    static QString pdfFolder(const Session &session);
    // The PDFs waiting there: "*.PDF", letter case ignored, in the folder's order.
    static QStringList waiting(const Session &session);

    // After the signing dialog (nothing when it was cancelled): checks the user name and the pass
    // phrase, signs the files in order, one failure not stopping the next, and ends with one
    // summary for the user.
    Summary signAll(const std::optional<Credentials> &credentials, const QStringList &files);

    // Signs one PDF and moves it and its signed file. Every failure is told to the user. True when
    // signed and moved.
    bool signPdf(const QString &fileName, const QString &user, const QString &passPhrase,
                 const QString &recipient);

    static QString summaryText(const Summary &summary);

private:
    // Moves a file of the PDF folder to `folder` + `name`; nothing when that is the file itself.
    bool moveOut(const QString &source, const QString &folder, const QString &name);

    Session &session_;
    GnupgSigner signer_;
    QString pdfFolder_;
    QString pdfServer_;
    QString sigServer_;
};
