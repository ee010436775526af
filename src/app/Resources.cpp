#include "app/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must run outside any namespace.
static void initTomekeepResources() {
    Q_INIT_RESOURCE(tomekeep);
}

void InitResources() {
    initTomekeepResources();
}
