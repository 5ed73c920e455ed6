#include "resources/resourcebundle.h"

#include <QtGlobal>

void registerResourceBundle()
{
    // Registering again is harmless: Qt keeps one copy of a bundle.
    Q_INIT_RESOURCE(resources);
}
