#include "TransactionReference.h"

QString transactionReference(const QString &reference, bool imported, const QString &hostPrefix,
                             const QString &importPrefix) {
    const QString &prefix = imported ? importPrefix : hostPrefix;
    if (prefix.isEmpty() || (imported && reference.size() == 12))
        return reference;
    const qsizetype zeros = 12 - prefix.size() - reference.size();
    return prefix + QString(qMax<qsizetype>(0, zeros), u'0') + reference;
}
