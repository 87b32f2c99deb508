#pragma once

#include "GnupgCommand.h"

#include <QString>

class ProcessRunner;
class Prompter;
class Session;

// One GnuPG run that signs a file with the brokerage's key and encrypts it to the regulator's, the
// same for report files and PDFs: an earlier output and GnuPG's log go first, the pass phrase goes
// on standard input, the run is waited for, and a run that did not end well leaves no output.
class GnupgSigner {
public:
    struct Credentials {
        QString user;
        QString passPhrase;
    };

    GnupgSigner(Session &session, ProcessRunner &runner);

    // The adjusted GnuPG folder stays as long as this object.
    const GnupgCommand &command() const { return command_; }
    // The program; empty, after telling the user, when the settings name none.
    QString program() const;
    // Warns of a missing user name and a missing pass phrase; true when both are given.
    static bool complete(const Credentials &credentials, Prompter &prompter);

    // Signs `input` into `output`. A failure is told to the user with GnuPG's own words.
    bool sign(const QString &program, const QString &input, const QString &output,
              const QString &user, const QString &passPhrase, const QString &recipient);

private:
    Session &session_;
    ProcessRunner &runner_;
    GnupgCommand command_;
};
