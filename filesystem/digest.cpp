#include "filesystem/digest.h"

#include <QCryptographicHash>

QByteArray sha3(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha3_256);
}
