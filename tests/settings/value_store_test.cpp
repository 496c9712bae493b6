#include "settings/ValueStore.h"

#include <gtest/gtest.h>

#include <climits>

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

} // namespace
