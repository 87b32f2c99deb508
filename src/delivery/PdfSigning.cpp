#include "PdfSigning.h"

#include "FileDelivery.h"
#include "ProgramDirectory.h"
#include "Prompter.h"
#include "ReportFileLists.h"
#include "Session.h"

namespace {
QString folderSetting(const QString &configured) {
    return configured.isEmpty() ? QString() : ProgramDirectory::withSeparator(configured);
}
} // namespace

PdfSigning::PdfSigning(Session &session, ProcessRunner &runner)
    : session_(session), signer_(session, runner), pdfFolder_(pdfFolder(session)),
      pdfServer_(folderSetting(session.configuration.pdfServer)),
      sigServer_(folderSetting(session.configuration.pdfSigServer)) {}

QString PdfSigning::pdfFolder(const Session &session) {
    const QString &configured = session.configuration.pdfPath;
    if (configured.isEmpty() || configured == QLatin1String("\\"))
        return session.programDirectory;
    return ProgramDirectory::withSeparator(configured);
}

QStringList PdfSigning::waiting(const Session &session) {
    return ReportFileLists::filesMatching(pdfFolder(session), QStringLiteral("*.PDF"));
}

PdfSigning::Summary PdfSigning::signAll(const std::optional<Credentials> &credentials,
                                        const QStringList &files) {
    Summary summary;
    if (!credentials)
        return summary;
    session_.configuration.requireForSigning();
    if (!GnupgSigner::complete(*credentials, session_.prompter))
        return summary;
    for (const QString &file : files) {
        session_.progress(file);
        if (signPdf(file, credentials->user, credentials->passPhrase,
                    session_.configuration.atvpUporabnik))
            summary.delivered << file;
        else
            summary.failed << file;
    }
    if (summary.failed.isEmpty())
        session_.prompter.information(summaryText(summary));
    else
        session_.prompter.warning(summaryText(summary));
    return summary;
}

bool PdfSigning::signPdf(const QString &fileName, const QString &user, const QString &passPhrase,
                         const QString &recipient) {
    const QString program = signer_.program();
    if (program.isEmpty())
        return false;
    const QString signature = ReportFileLists::signatureName(fileName);
    const QString input = pdfFolder_ + fileName;
    const QString output = pdfFolder_ + signature;
    if (!signer_.sign(program, input, output, user, passPhrase, recipient))
        return false;
    // The signed file goes also when the PDF could not.
    const bool pdfMoved = moveOut(input, pdfServer_, fileName);
    const bool signatureMoved = moveOut(output, sigServer_, signature);
    return pdfMoved && signatureMoved;
}

bool PdfSigning::moveOut(const QString &source, const QString &folder, const QString &name) {
    // A target in the PDF folder itself, however spelled, is the source: no move.
    if (folder.isEmpty())
        return true;
    const QString target = folder + name;
    const FileDelivery::Moved moved = FileDelivery::move(source, target);
    if (!moved.copyError.isEmpty())
        session_.prompter.error(QStringLiteral("Napaka pri kopiranju ") + source +
                                QStringLiteral(" file-a na ") + target + QStringLiteral(" !\r") +
                                moved.copyError);
    else if (!moved.removeError.isEmpty())
        session_.prompter.error(QStringLiteral("Napaka pri brisanju ") + source +
                                QStringLiteral(" !\r") + moved.removeError);
    return moved.done();
}

QString PdfSigning::summaryText(const Summary &summary) {
    const qsizetype all = summary.delivered.size() + summary.failed.size();
    QString text = QStringLiteral("Podpisanih in dostavljenih PDF datotek: %1 od %2.")
                       .arg(summary.delivered.size())
                       .arg(all);
    if (!summary.failed.isEmpty())
        text += QStringLiteral("\rNeuspešno: ") + summary.failed.join(QStringLiteral(", "));
    return text;
}
