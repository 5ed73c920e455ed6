#pragma once

#include <QString>
#include <QVariant>

// A legacy setting taken as text. Qt's INI reader splits a value at every
// unquoted comma ("Kit, the Bold" arrives as two items), and such a list has
// no text of its own; its items are joined again with ", ".
QString settingText(const QVariant &value);
