// The session module's interface. korbcalc-cli carries its own C++ runtime while the module links
// Qt Core and the shared one, so only plain C types cross between them: no std::string, no
// exception, no memory that one side allocates and the other frees.
#pragma once

#include <stddef.h>

extern "C" {

struct KorbcalcSessionStore; // the module's own

// Receives a value's text; ctx is the caller's.
typedef void (*KorbcalcTakeText)(void* ctx, const char* text, size_t size);

struct KorbcalcSessionModule {
    int version; // KorbcalcSessionVersion
    // The store, or null.
    KorbcalcSessionStore* (*open)(void);
    void (*close)(KorbcalcSessionStore* store);
    // 1: the value exists and went to take; 0: absent; -1: failed.
    int (*read)(const KorbcalcSessionStore* store, const char* name, KorbcalcTakeText take, void* ctx);
    // 1: written; -1: failed.
    int (*write)(KorbcalcSessionStore* store, const char* name, const char* value, size_t size);
    // 1: the values live for this run only, and why went to take; 0: they are kept.
    int (*problem)(const KorbcalcSessionStore* store, KorbcalcTakeText take, void* ctx);
};

// The module's one exported symbol.
const KorbcalcSessionModule* korbcalc_session_module(void);
}

inline constexpr int KorbcalcSessionVersion = 2;
