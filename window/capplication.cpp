#include "window/capplication.h"

#include "resources/resourcebundle.h"
#include "version/versionrecord.h"
#include "window/startuphook.h"

#include <QDebug>
#include <QIcon>

#include <exception>

namespace {

// Asks Qt to run the actor model's start-up hook while an application object
// is constructed. Each of the actor model's parts asks on its own, so none
// relies on another having asked; the hook registry runs the hook once.
struct ActorModelHookRequest
{
    ActorModelHookRequest() { qAddPreRoutine(actorModelStartupHook); }
};

// The actor record, its presets, the emotes, their scenes and their overlays.
const ActorModelHookRequest actorRequest;
const ActorModelHookRequest presetRequest;
const ActorModelHookRequest emoteRequest;
const ActorModelHookRequest sceneRequest;
const ActorModelHookRequest overlayRequest;

} // namespace

CApplication::CApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    registerResourceBundle();
    setWindowIcon(QIcon(QStringLiteral(":/res/assets/exe_icon.png")));

    const VersionRecord record = VersionRecord::current();
    setApplicationName(record.name);
    setApplicationVersion(record.version.toString());
    setApplicationDisplayName(record.displayText());
}

bool CApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &exception) {
        qCritical().noquote() << "EXCEPTION" << exception.what();
    } catch (...) {
        qCritical().noquote() << "UNKNOWN EXCEPTION";
    }
    exit(0);
    return true;
}
