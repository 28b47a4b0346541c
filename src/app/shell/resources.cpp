#include "app/shell/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function in the current
// namespace, so it has to be called from the global one.
static void registerLumoraResources() {
    Q_INIT_RESOURCE(lumora);
}

namespace lumora::app {

void initResources() {
    static const bool registered = [] {
        registerLumoraResources();
        return true;
    }();
    (void)registered;
}

}  // namespace lumora::app
