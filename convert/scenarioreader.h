#pragma once

#include "model/legacyemote.h"

#include <QJsonArray>
#include <QList>
#include <QString>

class FileSystem;

// The entries of every non-empty section named exactly "scenario" of an INI
// file whose keys already carry the current emote field names, one object
// (lower-case key -> value) per section, in file order. Whole numbers become
// JSON numbers (except a "display_icon" written in lower case), quoted values
// lose their quotes. An unreadable file gives nothing.
QJsonArray readScenarioData(const FileSystem &files, const QString &path);

// Replaces `emotes` with one legacy emote per kept section, in file order,
// read through the legacy emote's JSON form. No sorting, merging or file
// checks: the file already names what it means.
void readScenarioIni(const FileSystem &files, QList<CsActor::LegacyEmote> &emotes, const QString &path);
