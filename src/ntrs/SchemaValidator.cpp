#include "SchemaValidator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>
#include <memory>

#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

namespace {

const QString xsiNamespace = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

using Error = SchemaValidator::Error;

struct SchemaParserFree {
    void operator()(xmlSchemaParserCtxtPtr p) const { xmlSchemaFreeParserCtxt(p); }
};
struct SchemaFree {
    void operator()(xmlSchemaPtr p) const { xmlSchemaFree(p); }
};
struct ValidCtxtFree {
    void operator()(xmlSchemaValidCtxtPtr p) const { xmlSchemaFreeValidCtxt(p); }
};

// libxml2 reports the errors of its XML parser (a schema that is no XML, a report that is not
// well-formed) through the thread's handler rather than through the schema contexts; this sends
// them to ours while it lives, then restores what was there.
class ThreadErrorHandler {
public:
    ThreadErrorHandler(xmlStructuredErrorFunc handler, void *context)
        : savedHandler_(xmlStructuredError), savedContext_(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(context, handler);
    }
    ~ThreadErrorHandler() { xmlSetStructuredErrorFunc(savedContext_, savedHandler_); }
    ThreadErrorHandler(const ThreadErrorHandler &) = delete;
    ThreadErrorHandler &operator=(const ThreadErrorHandler &) = delete;

private:
    xmlStructuredErrorFunc savedHandler_;
    void *savedContext_;
};

// Schemas are read from files only: while this lives, an include, import or entity of a network
// location fails with libxml2's "Attempt to load network entity" instead of connecting.
class NoNetworkLoader {
public:
    NoNetworkLoader() : saved_(xmlGetExternalEntityLoader()) {
        xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
    }
    ~NoNetworkLoader() { xmlSetExternalEntityLoader(saved_); }
    NoNetworkLoader(const NoNetworkLoader &) = delete;
    NoNetworkLoader &operator=(const NoNetworkLoader &) = delete;

private:
    xmlExternalEntityLoader saved_;
};

QString messageOf(const xmlError *e) {
    const QString text = e->message ? QString::fromUtf8(e->message).trimmed() : QString();
    return text.isEmpty() ? QStringLiteral("Neznana napaka") : text;
}

QByteArray nativePath(const QString &path) {
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toUtf8(); // libxml2 opens UTF-8 names on Windows
#else
    return QFile::encodeName(path);
#endif
}

// The schema's file name from the location the report gives, which may carry a path or a URL.
QString schemaFileName(const QString &location) {
    const QString trimmed = location.trimmed();
    const qsizetype cut = std::max(trimmed.lastIndexOf(u'/'), trimmed.lastIndexOf(u'\\'));
    return trimmed.mid(cut + 1);
}

// The first errors of reading a schema, with the place each was found.
void collectSchemaError(void *context, xmlErrorPtr e) {
    if (e->level < XML_ERR_ERROR)
        return;
    QString text = messageOf(e);
    if (e->line > 0) {
        const QString file = e->file ? QFileInfo(QString::fromUtf8(e->file)).fileName() : QString();
        text += QStringLiteral(" (") + (file.isEmpty() ? QString() : file + QStringLiteral(", ")) +
                QStringLiteral("vrstica ") + QString::number(e->line) + u')';
    }
    static_cast<QStringList *>(context)->append(text);
}

// One pass over a report: the parser's events arrive here before the validator sees them, so
// when the validator reports an error the state says in which record the parser is, or which
// record has just ended (a missing child is reported at the record's end tag). A record's
// reference is its last child, so the errors inside a record wait for its end to learn it.
class ValidationRun {
public:
    explicit ValidationRun(const QString &fileLabel) : fileLabel_(fileLabel) {}

    QList<Error> errors;

    static void onError(void *context, xmlErrorPtr e) {
        static_cast<ValidationRun *>(context)->error(e);
    }

    static void onStart(void *context, const xmlChar *localName, const xmlChar *, const xmlChar *,
                        int, const xmlChar **, int, int, const xmlChar **) {
        static_cast<ValidationRun *>(context)->start(reinterpret_cast<const char *>(localName));
    }

    static void onEnd(void *context, const xmlChar *, const xmlChar *, const xmlChar *) {
        static_cast<ValidationRun *>(context)->end();
    }

    static void onCharacters(void *context, const xmlChar *text, int length) {
        auto *run = static_cast<ValidationRun *>(context);
        run->justClosedRecord_ = false;
        if (run->capture_ != Capture::None)
            run->captured_.append(reinterpret_cast<const char *>(text), length);
    }

    // Errors of a record the file ends inside get what it has shown of its reference.
    void finish() {
        if (recordOpen_)
            resolvePending(open_);
    }

private:
    // Depth of the records: NTRSRoot, a collection, the record.
    static constexpr int recordDepth = 3;

    enum class Capture { None, Transaction, Instrument };

    struct Reference {
        QString transaction;
        QString instrument;

        QString suffix() const {
            if (!transaction.isEmpty())
                return QStringLiteral(" Ref.St.Transakcije ") + transaction;
            if (!instrument.isEmpty())
                return QStringLiteral(" Interna identifikacija instrumenta ") + instrument;
            return {};
        }
    };

    static bool isRecordName(const char *name) {
        return std::strcmp(name, "TransactionRecordInfo") == 0 ||
               std::strcmp(name, "CancellationRecordInfo") == 0 ||
               std::strcmp(name, "SifrantRecordInfo") == 0;
    }

    void start(const char *name) {
        ++depth_;
        justClosedRecord_ = false;
        if (!recordOpen_) {
            if (depth_ == recordDepth || isRecordName(name)) {
                recordOpen_ = true;
                openDepth_ = depth_;
                open_ = {};
                pendingFrom_ = errors.size();
            }
            return;
        }
        if (depth_ != openDepth_ + 1)
            return;
        if (std::strcmp(name, "TransactionReferenceNumber") == 0 ||
            std::strcmp(name, "CancelledTransactionReferenceNumber") == 0)
            capture_ = Capture::Transaction;
        else if (std::strcmp(name, "InstrumentInternalCode") == 0)
            capture_ = Capture::Instrument;
        captured_.clear();
    }

    void end() {
        justClosedRecord_ = false;
        if (capture_ != Capture::None && depth_ == openDepth_ + 1) {
            const QString text = QString::fromUtf8(captured_).trimmed();
            (capture_ == Capture::Transaction ? open_.transaction : open_.instrument) = text;
            capture_ = Capture::None;
        }
        if (recordOpen_ && depth_ == openDepth_) {
            recordOpen_ = false;
            resolvePending(open_);
            lastClosed_ = open_;
            justClosedRecord_ = true;
        }
        --depth_;
    }

    void resolvePending(const Reference &reference) {
        const QString suffix = reference.suffix();
        for (qsizetype i = pendingFrom_; i < errors.size(); ++i)
            errors[i].reason += suffix;
        pendingFrom_ = errors.size();
    }

    void error(const xmlError *e) {
        if (e->level < XML_ERR_ERROR || errors.size() >= SchemaValidator::maxErrors)
            return;
        Error error;
        error.location = e->line > 0 ? fileLabel_ + u':' + QString::number(e->line) : fileLabel_;
        error.reason = messageOf(e);
        if (justClosedRecord_)
            error.reason += lastClosed_.suffix();
        errors.append(error);
    }

    QString fileLabel_;
    int depth_ = 0;
    bool recordOpen_ = false;
    int openDepth_ = 0;
    bool justClosedRecord_ = false;
    Reference open_;
    Reference lastClosed_;
    qsizetype pendingFrom_ = 0;
    Capture capture_ = Capture::None;
    QByteArray captured_;
};

int readFile(void *context, char *buffer, int length) {
    const qint64 n = static_cast<QFile *>(context)->read(buffer, length);
    return n < 0 ? -1 : int(n);
}

int leaveOpen(void *) {
    return 0;
}

} // namespace

SchemaValidator::SchemaValidator(const QString &schemaDirectory)
    : schemaDirectory_(schemaDirectory) {
    xmlInitParser();
}

SchemaValidator::Result SchemaValidator::validate(const QString &fileName) const {
    const QString label = QFileInfo(fileName).fileName();
    Result result;
    const auto failure = [&result](const QString &location, const QString &reason) {
        result.errors.append({location, reason});
        return result;
    };

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failure(label, QStringLiteral("Datoteke ni mogoče odpreti: ") + file.errorString());

    // The schema the report names on its root.
    QString location;
    {
        QXmlStreamReader reader(&file);
        while (!reader.atEnd() && !reader.isStartElement())
            reader.readNext();
        if (!reader.isStartElement())
            return failure(label + u':' + QString::number(reader.lineNumber()),
                           reader.hasError() ? reader.errorString()
                                             : QStringLiteral("Datoteka nima elementov"));
        location = reader.attributes()
                       .value(xsiNamespace, QStringLiteral("noNamespaceSchemaLocation"))
                       .toString();
    }
    const QString schemaName = schemaFileName(location);
    if (schemaName.isEmpty())
        return failure(label, QStringLiteral("Datoteka ne navaja sheme "
                                             "(xsi:noNamespaceSchemaLocation)"));
    const QString schemaPath = QDir(schemaDirectory_).filePath(schemaName);
    const QFileInfo schemaInfo(schemaPath);
    if (!schemaInfo.exists())
        return failure(label, QStringLiteral("Sheme ") + QDir::toNativeSeparators(schemaPath) +
                                  QStringLiteral(" ni mogoče najti"));

    const auto unreadable = [&](const QString &why) {
        return failure(label, QStringLiteral("Sheme ") + QDir::toNativeSeparators(schemaPath) +
                                  QStringLiteral(" ni mogoče prebrati: ") + why);
    };
    if (schemaInfo.isDir())
        return unreadable(QStringLiteral("to je mapa"));
    {
        QFile schemaFile(schemaPath);
        if (!schemaFile.open(QIODevice::ReadOnly))
            return unreadable(schemaFile.errorString());
    }

    // The schema.
    std::unique_ptr<xmlSchema, SchemaFree> schema;
    {
        QStringList schemaErrors;
        ThreadErrorHandler handler(collectSchemaError, &schemaErrors);
        const NoNetworkLoader noNetwork;
        std::unique_ptr<xmlSchemaParserCtxt, SchemaParserFree> parser(
            xmlSchemaNewParserCtxt(nativePath(schemaPath).constData()));
        if (parser) {
            xmlSchemaSetParserStructuredErrors(parser.get(), collectSchemaError, &schemaErrors);
            schema.reset(xmlSchemaParse(parser.get()));
        }
        if (!schema)
            return unreadable(schemaErrors.isEmpty() ? QStringLiteral("ni sheme XML")
                                                     : schemaErrors.first());
    }

    // The report, validated as it is read.
    std::unique_ptr<xmlSchemaValidCtxt, ValidCtxtFree> validator(
        xmlSchemaNewValidCtxt(schema.get()));
    if (!validator || !file.seek(0))
        return failure(label, QStringLiteral("Validacije ni mogoče začeti"));
    ValidationRun run(label);
    xmlSchemaSetValidStructuredErrors(validator.get(), ValidationRun::onError, &run);
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = ValidationRun::onStart;
    sax.endElementNs = ValidationRun::onEnd;
    sax.characters = ValidationRun::onCharacters;
    int code = 0;
    {
        ThreadErrorHandler handler(ValidationRun::onError, &run);
        const NoNetworkLoader noNetwork;
        xmlParserInputBufferPtr input =
            xmlParserInputBufferCreateIO(readFile, leaveOpen, &file, XML_CHAR_ENCODING_NONE);
        if (!input)
            return failure(label, QStringLiteral("Validacije ni mogoče začeti"));
        // Takes the input over and frees it.
        code = xmlSchemaValidateStream(validator.get(), input, XML_CHAR_ENCODING_NONE, &sax, &run);
    }
    run.finish();
    result.errors = run.errors;
    if (code != 0 && result.errors.isEmpty())
        result.errors.append(
            {label, QStringLiteral("Validacija ni uspela (koda ") + QString::number(code) + u')'});
    return result;
}
