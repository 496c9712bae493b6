// The session module: the QSettings value store behind one C entry point.
#include "cli/SessionStore.h"
#include "settings/QtValueStore.h"

extern "C" __attribute__((visibility("default"))) ValueStore* korbcalc_session_store() {
    return new QtValueStore();
}
