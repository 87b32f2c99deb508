#pragma once

#include <QString>

// The 12-digit transaction reference a report carries for a trade: the configured prefix of its
// kind (host or imported), zeros, then its reference number. An imported reference that already
// has 12 digits is taken as it is.
QString transactionReference(const QString &reference, bool imported, const QString &hostPrefix,
                             const QString &importPrefix);
