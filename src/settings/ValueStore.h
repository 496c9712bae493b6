// Per-user value store that stands in for the registry key SOFTWARE\Ovrin\Meridot\1.0.
// Every value is a string; integers are decimal text, booleans "1" / "0".
#pragma once

#include <map>
#include <optional>
#include <string>

class ValueStore {
public:
    virtual ~ValueStore() = default;
    virtual std::optional<std::string> Read(const std::string& name) const = 0;
    virtual void Write(const std::string& name, const std::string& value) = 0;

    std::string ReadString(const std::string& name, const std::string& def) const;
    // A value that is absent or not a decimal integer reads as the default.
    int ReadInteger(const std::string& name, int def) const;
    bool ReadBool(const std::string& name, bool def) const;
    void WriteString(const std::string& name, const std::string& value) { Write(name, value); }
    void WriteInteger(const std::string& name, int value) { Write(name, std::to_string(value)); }
    void WriteBool(const std::string& name, bool value) { Write(name, value ? "1" : "0"); }
};

class MemoryValueStore : public ValueStore {
public:
    std::optional<std::string> Read(const std::string& name) const override;
    void Write(const std::string& name, const std::string& value) override;
    std::map<std::string, std::string> values;
};
