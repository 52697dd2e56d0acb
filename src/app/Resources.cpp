#include "app/Resources.h"

#include <QtGlobal>

void EnsureResources() {
    static const bool s_bDone = [] {
        Q_INIT_RESOURCE(tabulon);
        return true;
    }();
    (void)s_bDone;
}
