#include "koruresources.h"

#include <QtGlobal>

void initKoruResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(translations);
}

void cleanupKoruResources()
{
    Q_CLEANUP_RESOURCE(translations);
    Q_CLEANUP_RESOURCE(resources);
}
