// veltra: the migration in a window. It migrates the client below the current
// folder, then shows the log until the user closes the window.

#include "app/capplication.h"
#include "app/restructure.h"
#include "convert/convertlegacyfiles.h"
#include "paths/folders.h"
#include "view/verrormessage.h"

int main(int argc, char *argv[])
{
    CApplication application(argc, argv);
    VErrorMessage *window = VErrorMessage::instance();

    const QStringList log = restructureCharacterFolders(convertLegacyFiles);
    // An empty log would open no window, and nothing would ever end the
    // event loop; saying where the program looked ends the run as usual.
    const QString message = log.isEmpty()
        ? QStringLiteral("No character folders found in %1.").arg(charactersFolderPath())
        : joinLog(log);
    window->showMessage(message);

    return application.exec();
}
