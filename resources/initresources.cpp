#include "resources/initresources.h"

#include <QtCore/qglobal.h>

static void initOnce()
{
    Q_INIT_RESOURCE(resources);
}

void kxInitResources()
{
    static const bool done = (initOnce(), true);
    Q_UNUSED(done);
}
