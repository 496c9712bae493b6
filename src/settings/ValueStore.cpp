#include "settings/ValueStore.h"

#include <charconv>

std::optional<int> ParseDecimalInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt; // "+-5"
    }
    if (text.empty()) return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string ValueStore::ReadString(const std::string& name, const std::string& def) const {
    return Read(name).value_or(def);
}

int ValueStore::ReadInteger(const std::string& name, int def) const {
    auto text = Read(name);
    if (!text) return def;
    return ParseDecimalInteger(*text).value_or(def);
}

bool ValueStore::ReadBool(const std::string& name, bool def) const {
    return ReadInteger(name, def ? 1 : 0) != 0;
}

std::string ValueStore::ReadString(const StoredValue& value) const {
    return ReadString(std::string(value.name), std::string(value.defaultText));
}

int ValueStore::ReadInteger(const StoredValue& value) const {
    return ReadInteger(std::string(value.name), ParseDecimalInteger(value.defaultText).value_or(0));
}

bool ValueStore::ReadBool(const StoredValue& value) const {
    return ReadInteger(value) != 0;
}

std::optional<std::string> MemoryValueStore::Read(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

void MemoryValueStore::Write(const std::string& name, const std::string& value) {
    values[name] = value;
}
