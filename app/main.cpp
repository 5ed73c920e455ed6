// veltra: the migration in a window. It migrates the client below the current
// folder (asking for one when there is none), showing the progress of a long
// run, then shows the log until the user closes the window.

#include "app/capplication.h"
#include "app/clientfolder.h"
#include "app/walkrunner.h"
#include "convert/convertlegacyfiles.h"
#include "view/verrormessage.h"
#include "view/vmigrationprogress.h"

int main(int argc, char *argv[])
{
    CApplication application(argc, argv);
    // Cancelling the chooser leaves the current folder as it was: the walk
    // finds nothing there and the window says where it looked.
    if (!holdsCharacterFolders())
        chooseClientFolder();

    WalkRunner runner(prepareLegacyFiles, QCoreApplication::applicationVersion());
    VMigrationProgress progress;
    QObject::connect(&runner, &WalkRunner::progress, &progress, &VMigrationProgress::setProgress);
    QObject::connect(&progress, &VMigrationProgress::canceled, &runner, &WalkRunner::requestStop);
    QObject::connect(&runner, &WalkRunner::finished, &progress, [&progress](const QString &message) {
        VErrorMessage::instance()->showMessage(message);
        progress.finish();
    });
    progress.start();
    runner.start();

    return application.exec();
}
