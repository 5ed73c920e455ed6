#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Start-up hooks: work that must happen once per process however often it is
// asked for. A hook is known by its name; the first request runs it, every
// later request with the same name (compared exactly) does nothing.
//
// The hook runs under the registry's write lock, so two threads asking at
// once still run it once; for the same reason a hook must not request a hook
// itself.
void runStartupHookOnce(const QString &name, const std::function<void()> &hook);

// The names of the hooks that have run, in the order they ran.
QStringList startupHooksRun();

// The actor model's start-up hook, "CsActor::init". Qt calls it among its
// pre-routines while the application object is constructed.
void actorModelStartupHook();
