#pragma once

#include <QString>

// The text without its SGR (colour and emphasis) escape sequences.
QString stripSgr(const QString &text);
