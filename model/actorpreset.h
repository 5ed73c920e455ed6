#pragma once

#include <QJsonObject>
#include <QSharedDataPointer>
#include <QString>

namespace CsActor {

struct PresetRules
{
    bool blip_once = false;
    bool uppercase = false;

    // A switch is on only when its key holds true.
    static PresetRules fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
};

// A named bundle of presentation settings that emotes refer to by name.
// Copies share one body; every change through a setter first detaches.
class ActorPreset
{
public:
    ActorPreset();
    // The defaults, then `object` read over them.
    explicit ActorPreset(const QJsonObject &object);
    ActorPreset(const ActorPreset &other);
    ActorPreset &operator=(const ActorPreset &other);
    ~ActorPreset();

    // Merges `object` over the current values: texts that are not strings keep
    // their value; the rules are read afresh; the name ends up lower-case.
    void readJson(const QJsonObject &object);
    QJsonObject toJson() const;

    QString name() const;
    PresetRules rules() const;
    QString blipFile() const;
    QString colorName() const;
    QString chatboxName() const;
    QString displayName() const;
    QString positionName() const;
    QString shoutName() const;

    void setName(const QString &name);
    void setRules(const PresetRules &rules);
    void setBlipFile(const QString &value);
    void setColorName(const QString &value);
    void setChatboxName(const QString &value);
    void setDisplayName(const QString &value);
    void setPositionName(const QString &value);
    void setShoutName(const QString &value);

    // True when both handles share one body.
    bool isSharedWith(const ActorPreset &other) const;

private:
    struct Body;
    QSharedDataPointer<Body> d;
};

} // namespace CsActor
