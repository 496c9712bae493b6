#include "settings/QtValueStore.h"
#include "settings/ValueStore.h"
#include "settings/file_scratch.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

TEST(ParseDecimalInteger, AcceptsOnlyWholeDecimalIntegers) {
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {{"14", 14},  {" -3 ", -3}, {"+7", 7},   {"2147483647", INT_MAX}, {"", {}},
                 {"1.5", {}}, {"12px", {}}, {"+-1", {}}, {"2147483648", {}}};
    for (const auto& c : cases) EXPECT_EQ(ParseDecimalInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ValueStore, AbsentOrUnreadableValuesReadAsTheirDefaults) {
    MemoryValueStore store;
    EXPECT_EQ(store.ReadString(stored::FontName), "Arial");
    EXPECT_EQ(store.ReadInteger(stored::FontSize), 14);
    EXPECT_TRUE(store.ReadBool(stored::AutoConvert));
    EXPECT_FALSE(store.ReadBool(stored::CalcMode));

    store.values = {{"FontSize", "big"}, {"UnitSystem", "yes"}, {"CalcMode", "1"}, {"FontStyle", ""}};
    EXPECT_EQ(store.ReadInteger(stored::FontSize), 14);
    EXPECT_TRUE(store.ReadBool(stored::UnitSystem));
    EXPECT_TRUE(store.ReadBool(stored::CalcMode));
    EXPECT_EQ(store.ReadString(stored::FontStyle), ""); // empty is a real value: regular style
}

void ExpectRoundTrip(const std::function<std::unique_ptr<QtValueStore>()>& open) {
    {
        auto store = open();
        EXPECT_FALSE(store->Read("FontName").has_value());
        store->WriteString("FontName", "Courier New");
        store->WriteInteger("FontSize", 11);
        store->WriteBool("AutoConvert", false);
    }
    auto store = open(); // a new object sees what the last one wrote
    EXPECT_EQ(store->ReadString(stored::FontName), "Courier New");
    EXPECT_EQ(store->ReadInteger(stored::FontSize), 11);
    EXPECT_FALSE(store->ReadBool(stored::AutoConvert));
    EXPECT_TRUE(store->ReadBool(stored::UnitSystem));
}

TEST(QtValueStore, UserStoreLivesUnderTheConfigurationHome) {
    ScratchDir dir;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = previous ? previous : "";
    ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    ExpectRoundTrip([] { return std::make_unique<QtValueStore>(); });
    const auto location = QtValueStore().Location();
    if (previous)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(location, dir.File("Ovrin/Meridot.conf"));
    EXPECT_TRUE(std::filesystem::exists(location));
}

} // namespace
