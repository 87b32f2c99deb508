#pragma once

#include <QString>
#include <optional>

// A file that holds a secret, for the scheduled run: the pass phrase named by
// RAPO_PASSPHRASE_FILE. Only a file that no one but its owner can read or change is used.
class PassPhraseFile {
public:
    // The file's first line; nothing, with the reason in `refusal`, when the file cannot be read
    // or others may read or change it.
    static std::optional<QString> read(const QString &path, QString *refusal);
    // True when neither the owner's group nor anyone else may read or change the file.
    static bool ownerOnly(const QString &path);
};
