#include "cli/SessionStore.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// Next to the program in the build tree; in the library folder after installation.
std::vector<std::filesystem::path> ModulePlaces() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {KORBCALC_SESSION_MODULE};
    const fs::path dir = program.parent_path();
    return {dir / KORBCALC_SESSION_MODULE, dir / KORBCALC_SESSION_INSTALLED / KORBCALC_SESSION_MODULE};
}

} // namespace

std::unique_ptr<ValueStore> OpenSessionStore(std::string& error) {
    for (const auto& place : ModulePlaces()) {
        // Kept loaded for the rest of the run: the store's code lives in it.
        void* module = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            error = dlerror();
            continue;
        }
        auto* open = reinterpret_cast<ValueStore* (*)()>(dlsym(module, "korbcalc_session_store"));
        if (!open) {
            error = "no value store in " + place.string();
            continue;
        }
        return std::unique_ptr<ValueStore>(open());
    }
    return nullptr;
}
