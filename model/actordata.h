#pragma once

#include "filesystem/fileerror.h"
#include "model/actorpreset.h"
#include "paths/readcontext.h"

#include <QList>
#include <QString>

namespace CsActor {

// The in-memory form of a character's "data/actor.json": actor-wide settings
// and the presets. Construction loads the file; after loading the preset list
// is never empty.
class ActorData
{
public:
    ActorData(const ReadContext &client, const QString &name);

    // Writes the record to "data/actor.json" in the actor's folder, compact,
    // creating the folder "data" when needed. Returns why it could not, or nothing.
    FileError save(FileSystem &files, const QString &client) const;

    // Replaces the preset of the same name (ignoring case) in place, or appends.
    void setPreset(const ActorPreset &preset);

    QString name;
    // Direct access; an append made here checks no names.
    QList<ActorPreset> presets;
    QString shout_name;
    QString chatbox_name;
    QString position_name;
};

} // namespace CsActor
