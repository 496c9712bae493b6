// The value store of a session (--session). On Windows it is the registry, read directly; elsewhere
// it is QSettings, the one part of korbcalc-cli that needs Qt Core, in a module loaded only then,
// so that plain runs start without loading Qt.
#pragma once

#include <memory>
#include <string>

#include "settings/ValueStore.h"

// The store the windows use, or nothing with the reason in error.
std::unique_ptr<ValueStore> OpenSessionStore(std::string& error);
