// The QSettings value store, redirected to a scratch configuration home (Linux only: on Windows it
// would write the user's real registry key).
#include "settings/QtValueStore.h"
#include "settings/file_scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

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
