#include "HostTexts.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

QStringList HostTexts::distinctStatements(const QString &logPath) {
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed() == u'/') {
            const QString text = lines.join(u'\n');
            if (!statements.contains(text))
                statements << text;
            lines.clear();
        } else if (!line.startsWith(QStringLiteral("-- :")) && !line.isEmpty()) {
            lines << line;
        }
    }
    return statements;
}

namespace {
const QHash<QString, QString> &sourceFiles(const QString &root) {
    static QHash<QString, QHash<QString, QString>> byRoot;
    QHash<QString, QString> &files = byRoot[root];
    if (files.isEmpty()) {
        QDirIterator it(root, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly))
                files.insert(f.fileName().mid(root.size() + 1), QString::fromUtf8(f.readAll()));
        }
    }
    return files;
}
} // namespace

namespace {
// The files holding the most of `pieces`; none when no file holds any.
QStringList holders(const QStringList &pieces, const QHash<QString, QString> &files) {
    QHash<QString, int> hits;
    int best = 0;
    for (auto f = files.cbegin(); f != files.cend(); ++f) {
        int n = 0;
        for (const QString &piece : pieces)
            n += f.value().contains(piece, Qt::CaseSensitive) ? 1 : 0;
        if (n > 0)
            hits.insert(f.key(), n);
        best = std::max(best, n);
    }
    QStringList named;
    for (auto h = hits.cbegin(); h != hits.cend(); ++h)
        if (h.value() == best)
            named << h.key();
    named.sort();
    return named;
}
} // namespace

QString HostTexts::sourceOf(const QString &text, const QString &sourceRoot) {
    const QHash<QString, QString> &files = sourceFiles(sourceRoot);
    // A line short enough to be a bare keyword would match everywhere.
    QStringList lines;
    for (const QString &line : text.split(u'\n')) {
        QString l = line.trimmed();
        l.replace(u'"', QStringLiteral("\\\""));
        if (l.size() >= 12)
            lines << l;
    }
    QStringList named = holders(lines, files);
    // A text composed from pieces (a name put between literals, literals split over source
    // lines): the longest run of its words that a file holds.
    const QStringList words = text.simplified().split(u' ');
    for (qsizetype n = std::min<qsizetype>(words.size(), 16); named.isEmpty() && n >= 3; --n) {
        QStringList runs;
        for (qsizetype start = 0; start + n <= words.size(); ++start) {
            const QString run = words.mid(start, n).join(u' ');
            if (run.size() >= 12)
                runs << run;
        }
        named = holders(runs, files);
    }
    return named.isEmpty() ? QStringLiteral("?") : named.join(QStringLiteral(", "));
}

namespace {
HostTexts::GrammarRun runChecker(const QStringList &arguments) {
    HostTexts::GrammarRun run;
    QProcess node;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("NODE_PATH", RAPO_ORACLE_GRAMMAR_MODULES);
    node.setProcessEnvironment(environment);
    node.start(QStringLiteral("node"), QStringList{RAPO_ORACLE_CHECKER} + arguments);
    if (!node.waitForStarted() || !node.waitForFinished(300000) ||
        node.exitStatus() != QProcess::NormalExit || node.exitCode() > 1) {
        run.error = QStringLiteral("node ") + RAPO_ORACLE_CHECKER + QStringLiteral(": ") +
                    node.errorString() + u' ' + QString::fromUtf8(node.readAllStandardError());
        return run;
    }
    run.ran = true;
    for (const QString &line : QString::fromUtf8(node.readAllStandardOutput()).split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0)
            run.failures.append({line.left(tab).toInt() - 1, line.mid(tab + 1)});
    }
    return run;
}
} // namespace

HostTexts::GrammarRun HostTexts::parseOracle(const QStringList &statements) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("statements.sql")));
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString(), {}};
    for (const QString &statement : statements)
        file.write((statement + QStringLiteral("\n/\n")).toUtf8());
    file.close();
    return runChecker({file.fileName()});
}

HostTexts::GrammarRun HostTexts::parseOracleScript(const QString &scriptPath) {
    return runChecker({QStringLiteral("--script"), scriptPath});
}
