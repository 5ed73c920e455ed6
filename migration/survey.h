#pragma once

#include <QString>
#include <QVector>

class FileSystem;

// A quick look at a client before it is migrated: its character folders, as
// the walk lists them, each with whether it looks migrated already. It reads
// one listing per character and no file, so it takes well under a second on
// a client of thousands of characters.
struct CharacterState
{
    QString name; // the folder's name, as listed in base/characters
    bool migrated = false;
};

QVector<CharacterState> surveyCharacters(const FileSystem &files, const QString &client);

// A character folder looks migrated when each of its legacy descriptions has
// its current one beside it (NAME.toml for NAME.ini), it holds at least one
// current description, and none of the legacy layout's names is left
// ("char_icon.png", "emotions"): a run over it would convert nothing.
bool looksMigrated(const FileSystem &files, const QString &folderPath);
