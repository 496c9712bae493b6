// The session module: the QSettings value store behind a plain C interface.
#include "cli/SessionModule.h"

#include <string>

#include "settings/QtValueStore.h"

struct KorbcalcSessionStore {
    QtValueStore store;
};

namespace {

KorbcalcSessionStore* Open() {
    try {
        return new KorbcalcSessionStore;
    } catch (...) {
        return nullptr;
    }
}

void Close(KorbcalcSessionStore* session) {
    delete session;
}

int Read(const KorbcalcSessionStore* session, const char* name, KorbcalcTakeText take, void* ctx) {
    try {
        const auto value = session->store.Read(name);
        if (!value) return 0;
        take(ctx, value->data(), value->size());
        return 1;
    } catch (...) {
        return -1;
    }
}

int Write(KorbcalcSessionStore* session, const char* name, const char* value, size_t size) {
    try {
        session->store.Write(name, std::string(value, size));
        return 1;
    } catch (...) {
        return -1;
    }
}

int Problem(const KorbcalcSessionStore* session, KorbcalcTakeText take, void* ctx) {
    try {
        const auto problem = session->store.Problem();
        if (!problem) return 0;
        take(ctx, problem->data(), problem->size());
        return 1;
    } catch (...) {
        return 0;
    }
}

const KorbcalcSessionModule Module{KorbcalcSessionVersion, Open, Close, Read, Write, Problem};

} // namespace

extern "C" __attribute__((visibility("default"))) const KorbcalcSessionModule* korbcalc_session_module(void) {
    return &Module;
}
