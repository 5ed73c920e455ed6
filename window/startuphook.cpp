#include "window/startuphook.h"

#include <QGlobalStatic>
#include <QReadLocker>
#include <QReadWriteLock>
#include <QWriteLocker>

namespace {

QReadWriteLock registryLock;
Q_GLOBAL_STATIC(QStringList, hooksRun)

// The actor model keeps no process-wide state that needs setting up; the
// hook exists so that the model has one place to do so.
void initActorModel() { }

} // namespace

void runStartupHookOnce(const QString &name, const std::function<void()> &hook)
{
    QWriteLocker locker(&registryLock);
    if (hooksRun->contains(name))
        return;
    hooksRun->append(name);
    if (hook)
        hook();
}

QStringList startupHooksRun()
{
    QReadLocker locker(&registryLock);
    return *hooksRun;
}

void actorModelStartupHook()
{
    runStartupHookOnce(QStringLiteral("CsActor::init"), initActorModel);
}
