#pragma once

#include <QByteArray>

// SHA3-256 of bytes.
QByteArray sha3(const QByteArray &bytes);
