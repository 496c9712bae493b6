// The value store of a session (--session), the one part of korbcalc-cli that needs Qt Core. It
// lives in a module loaded only then, so that plain runs start without loading Qt.
#pragma once

#include <memory>
#include <string>

#include "settings/ValueStore.h"

// The store the windows use, or nothing with the reason in error.
std::unique_ptr<ValueStore> OpenSessionStore(std::string& error);

// The module's one entry point.
extern "C" ValueStore* korbcalc_session_store();
