#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The GnuPG program of the site and the command that signs a file with the brokerage's key and
// encrypts it to the regulator's. One command line per file; the pass phrase goes to GnuPG's
// standard input, never into the arguments, where every process of the machine could read it.
class GnupgCommand {
public:
    // `configuredPath` is the folder of the program as RAPO.ini gives it: the text is put directly
    // in front of the program's name, so it ends with a separator; one that starts with a single
    // backslash lies inside the program directory; empty means the program on the search path.
    GnupgCommand(const QString &configuredPath, const QString &programDirectory);

    // The folder after that adjustment (with "/" for "\" where the system needs it).
    const QString &directory() const { return directory_; }
    // The program, or empty when there is none where the settings say.
    QString executable() const;
    // The log GnuPG may leave in its folder; empty when the folder is the search path.
    QString logFile() const;

    static QString programName();
    static QStringList arguments(const QString &output, const QString &user,
                                 const QString &recipient, const QString &input);
    // What GnuPG reads on its standard input: the pass phrase and a line end.
    static QByteArray passPhraseInput(const QString &passPhrase);

    // How long a run may take.
    static constexpr int timeoutMs = 5000;

private:
    QString directory_;
};
