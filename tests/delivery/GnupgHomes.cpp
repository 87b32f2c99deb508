#include "GnupgHomes.h"

#include <QFile>
#include <QProcess>

const QString GnupgHomes::brokerageUser = QStringLiteral("Borzni posrednik <podpis@borza.example>");
const QString GnupgHomes::regulatorUser = QStringLiteral("ATVP-NTRS <ntrs@atvp.example>");

namespace {
// No pass phrase is kept by the agent (a wrong one must fail even after a right one), and keys
// are protected without the slow calibration of the iteration count.
void writeAgentConfiguration(const QString &home) {
    QFile conf(home + "/gpg-agent.conf");
    if (conf.open(QIODevice::WriteOnly))
        conf.write("default-cache-ttl 0\nmax-cache-ttl 0\nallow-loopback-pinentry\n"
                   "s2k-count 65536\n");
}
} // namespace

GnupgHomes::GnupgHomes(const QString &passPhrase) {
    hadHome_ = qEnvironmentVariableIsSet("GNUPGHOME");
    previousHome_ = qgetenv("GNUPGHOME");
    if (!brokerage_.isValid() || !regulator_.isValid())
        return;
    writeAgentConfiguration(brokerage_.path());
    writeAgentConfiguration(regulator_.path());
    brokerageFingerprint = generate(brokerage_.path(), brokerageUser, passPhrase);
    regulatorFingerprint = generate(regulator_.path(), regulatorUser, QString());
    if (brokerageFingerprint.isEmpty() || regulatorFingerprint.isEmpty())
        return;
    exchange(regulator_.path(), brokerage_.path(), regulatorFingerprint);
    exchange(brokerage_.path(), regulator_.path(), brokerageFingerprint);
    qputenv("GNUPGHOME", brokerage_.path().toLocal8Bit());
    ready_ = true;
}

GnupgHomes::~GnupgHomes() {
    for (const QString &home : {brokerage_.path(), regulator_.path()}) {
        QProcess kill;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GNUPGHOME", home);
        kill.setProcessEnvironment(env);
        kill.start("gpgconf", {"--kill", "all"});
        kill.waitForFinished(10000);
    }
    if (hadHome_)
        qputenv("GNUPGHOME", previousHome_);
    else
        qunsetenv("GNUPGHOME");
}

GnupgHomes::Run GnupgHomes::gpg(const QString &home, const QStringList &arguments,
                                const QByteArray &input) {
    QProcess p;
    p.start("gpg", QStringList{"--homedir", home, "--batch"} + arguments);
    Run run;
    if (!p.waitForStarted(10000))
        return run;
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

QString GnupgHomes::generate(const QString &home, const QString &user, const QString &passPhrase) {
    const Run made = gpg(home,
                         {"--pinentry-mode", "loopback", "--passphrase-fd", "0", "--quick-gen-key",
                          user, "future-default", "default", "never"},
                         passPhrase.toUtf8() + '\n');
    if (made.exitCode != 0)
        return {};
    const Run listed = gpg(home, {"--with-colons", "--list-secret-keys", user});
    for (const QByteArray &line : listed.out.split('\n'))
        if (line.startsWith("fpr:"))
            return QString::fromLatin1(line.split(':').value(9));
    return {};
}

void GnupgHomes::exchange(const QString &from, const QString &to, const QString &fingerprint) {
    const Run exported = gpg(from, {"--export", "--armor", fingerprint});
    gpg(to, {"--import"}, exported.out);
}

GnupgHomes::Opened GnupgHomes::openAsRegulator(const QString &path) const {
    const Run run =
        gpg(regulator_.path(), {"--status-fd", "2", "--output", "-", "--decrypt", path});
    Opened opened;
    opened.decrypted = run.exitCode == 0 && run.err.contains("[GNUPG:] DECRYPTION_OKAY");
    opened.text = run.out;
    opened.status = QString::fromUtf8(run.err);
    return opened;
}
