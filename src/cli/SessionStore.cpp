#include "cli/SessionStore.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/SessionModule.h"

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

// The module's store seen through this program's own runtime.
class ModuleStore : public ValueStore {
public:
    ModuleStore(const KorbcalcSessionModule& module, KorbcalcSessionStore* store)
        : module_(module), store_(store) {}
    ~ModuleStore() override { module_.close(store_); }
    ModuleStore(const ModuleStore&) = delete;
    ModuleStore& operator=(const ModuleStore&) = delete;

    std::optional<std::string> Read(const std::string& name) const override {
        std::string text;
        if (module_.read(store_, name.c_str(), Assign, &text) != 1) return std::nullopt;
        return text;
    }
    void Write(const std::string& name, const std::string& value) override {
        module_.write(store_, name.c_str(), value.data(), value.size());
    }
    std::optional<std::string> Problem() const override {
        std::string text;
        if (module_.problem(store_, Assign, &text) != 1) return std::nullopt;
        return text;
    }

private:
    static void Assign(void* ctx, const char* data, size_t size) {
        static_cast<std::string*>(ctx)->assign(data, size);
    }

    const KorbcalcSessionModule& module_;
    KorbcalcSessionStore* store_;
};

} // namespace

std::unique_ptr<ValueStore> OpenSessionStore(std::string& error) {
    for (const auto& place : ModulePlaces()) {
        // Kept loaded for the rest of the run: the store's code lives in it.
        void* handle = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            error = dlerror();
            continue;
        }
        using Entry = const KorbcalcSessionModule* (*)();
        auto entry = reinterpret_cast<Entry>(dlsym(handle, "korbcalc_session_module"));
        const KorbcalcSessionModule* module = entry ? entry() : nullptr;
        if (!module || module->version != KorbcalcSessionVersion) {
            error = "no value store of this version in " + place.string();
            continue;
        }
        KorbcalcSessionStore* store = module->open();
        if (!store) {
            error = "the value store in " + place.string() + " does not open";
            continue;
        }
        return std::make_unique<ModuleStore>(*module, store);
    }
    return nullptr;
}
