// The registry store of korbcalc-cli on Windows: what it reads back, and the raw form it leaves in
// the registry, which the windows program's QSettings store must read the same. Each test works
// under a key of its own, removed again afterwards.
#include <gtest/gtest.h>

#include <string>

#include "settings/RegistryValueStore.h"
#include "support/win32.h"

namespace {

constexpr const char* Parent = "SOFTWARE\\MeridotTests";

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = std::string(Parent) + "\\store_" + std::to_string(::GetCurrentProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, Parent); // when no other test's key is left
    }

    // The value as the registry holds it: its kind and, for a string, its UTF-16 text.
    std::pair<DWORD, std::wstring> Raw(const std::wstring& name) const {
        const std::wstring key(key_.begin(), key_.end());
        DWORD type = 0;
        wchar_t text[256] = {};
        DWORD size = sizeof text;
        if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &type, text, &size) !=
            ERROR_SUCCESS)
            return {REG_NONE, L""};
        return {type, type == REG_SZ ? std::wstring(text) : L""};
    }

    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), name, type, data, size), ERROR_SUCCESS);
    }

    std::string key_;
};

TEST_F(RegistryStore, ValuesComeBackAsWrittenAndAreStoredAsStrings) {
    struct Case {
        const char* value;
        const wchar_t* stored;
    };
    const Case cases[] = {
        {"14", L"14"},
        {"", L""},
        {"Liberation Sans", L"Liberation Sans"},
        {"Fl\xC3\xBC\x67\x65l \xCE\xA9", L"Fl\u00FCgel \u03A9"}, // UTF-8 in, UTF-16 in the registry
        {"@Invalid()", L"@@Invalid()"},                          // a leading "@" is doubled
        {"a@b", L"a@b"},
    };
    RegistryValueStore store(key_);
    for (const Case& c : cases) {
        store.Write("FontName", c.value);
        EXPECT_EQ(store.Read("FontName"), std::optional<std::string>(c.value)) << c.value;
        const auto [type, text] = Raw(L"FontName");
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << c.value;
        EXPECT_EQ(text, c.stored) << c.value;
    }
}

TEST_F(RegistryStore, AbsentValuesAndKeysReadAsNothing) {
    RegistryValueStore store(key_);
    EXPECT_EQ(store.Read("FontSize"), std::nullopt); // the key does not exist yet
    store.Write("FontName", "Arial");
    EXPECT_EQ(store.Read("FontSize"), std::nullopt);
    EXPECT_EQ(store.ReadInteger(stored::FontSize), 14);
}

TEST_F(RegistryStore, ValuesWrittenByOthersAreRead) {
    const DWORD size = 12;
    const unsigned long long big = 5000000000ULL;
    const BYTE binary[] = {1, 2};
    const wchar_t escaped[] = L"@@x";
    SetRaw("FontSize", REG_DWORD, &size, sizeof size);
    SetRaw("Big", REG_QWORD, &big, sizeof big);
    SetRaw("Bytes", REG_BINARY, binary, sizeof binary);
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, std::wstring(key_.begin(), key_.end()).c_str(), L"Name",
                                REG_SZ, escaped, sizeof escaped),
              ERROR_SUCCESS);
    RegistryValueStore store(key_);
    EXPECT_EQ(store.Read("FontSize"), std::optional<std::string>("12"));
    EXPECT_EQ(store.ReadInteger(stored::FontSize), 12);
    EXPECT_EQ(store.Read("Big"), std::optional<std::string>("5000000000"));
    EXPECT_EQ(store.Read("Bytes"), std::nullopt);
    EXPECT_EQ(store.Read("Name"), std::optional<std::string>("@x"));
}

TEST_F(RegistryStore, LongValuesAreReadWhole) {
    const std::string longText(5000, 'x');
    RegistryValueStore store(key_);
    store.Write("FontName", longText);
    EXPECT_EQ(store.Read("FontName"), std::optional<std::string>(longText));
}

} // namespace
