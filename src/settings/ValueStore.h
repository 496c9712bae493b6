// Per-user value store that stands in for the registry key SOFTWARE\Ovrin\Meridot\1.0.
// Every value is a string; integers are decimal text, booleans "1" / "0".
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// A decimal integer with an optional sign and surrounding blanks, or nothing (also on overflow).
std::optional<int> ParseDecimalInteger(std::string_view text);

// One stored value: its name and the text it reads as when absent or unreadable.
struct StoredValue {
    std::string_view name;
    std::string_view defaultText;
};

namespace stored {
inline constexpr StoredValue FontName{"FontName", "Arial"};
inline constexpr StoredValue FontSize{"FontSize", "14"};
inline constexpr StoredValue FontColor{"FontColor", "0"};
// Empty text regular, "0" bold, "1" italic, "2" bold italic.
inline constexpr StoredValue FontStyle{"FontStyle", "0"};
inline constexpr StoredValue CalcMode{"CalcMode", "0"};
inline constexpr StoredValue AutoConvert{"AutoConvert", "1"};
inline constexpr StoredValue UnitSystem{"UnitSystem", "1"};
inline constexpr std::array<StoredValue, 7> All{FontName, FontSize,    FontColor, FontStyle,
                                                CalcMode, AutoConvert, UnitSystem};
} // namespace stored

class ValueStore {
public:
    virtual ~ValueStore() = default;
    virtual std::optional<std::string> Read(const std::string& name) const = 0;
    virtual void Write(const std::string& name, const std::string& value) = 0;
    // Why the values are kept for this run only, when the store's place cannot safely be used.
    virtual std::optional<std::string> Problem() const { return std::nullopt; }

    std::string ReadString(const std::string& name, const std::string& def) const;
    // A value that is absent or not a decimal integer reads as the default.
    int ReadInteger(const std::string& name, int def) const;
    bool ReadBool(const std::string& name, bool def) const;
    void WriteString(const std::string& name, const std::string& value) { Write(name, value); }
    void WriteInteger(const std::string& name, int value) { Write(name, std::to_string(value)); }
    void WriteBool(const std::string& name, bool value) { Write(name, value ? "1" : "0"); }

    // The same, with the value's own default.
    std::string ReadString(const StoredValue& value) const;
    int ReadInteger(const StoredValue& value) const;
    bool ReadBool(const StoredValue& value) const;
};

class MemoryValueStore : public ValueStore {
public:
    std::optional<std::string> Read(const std::string& name) const override;
    void Write(const std::string& name, const std::string& value) override;
    std::map<std::string, std::string> values;
};
