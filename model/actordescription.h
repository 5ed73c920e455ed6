#pragma once

#include "model/emote.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace CsActor {

// A character's current description: its emotes under "scenario".
struct ActorDescription
{
    QList<Emote> scenario;
    QString note; // carried for the client; this program leaves it empty
    QString fileName = QStringLiteral("char.toml");

    // Replaces the scenario with the emotes of object["scenario"].
    void readJson(const QJsonObject &object);
    // {"scenario": [...]}, or {} when there are no emotes.
    QJsonObject toJson() const;
};

} // namespace CsActor
