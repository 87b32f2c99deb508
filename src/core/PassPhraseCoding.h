#pragma once

#include <QString>
#include <optional>

// The remembered signing pass phrase is stored in RAPO.ini as the hexadecimal codes of its
// characters, two digits per character.
namespace PassPhraseCoding {
// Decodes consecutive pairs from the start; a trailing odd character is ignored. Gives nothing
// when a pair is not hexadecimal.
std::optional<QString> decode(const QString &stored);
// Encodes each character's 8-bit code as two upper-case hexadecimal digits.
QString encode(const QString &passPhrase);
} // namespace PassPhraseCoding
