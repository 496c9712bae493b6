// A data file that another program changed after this one loaded it is kept as "<name>.bak" at
// the next save, and the message says so; the .bak of a file not loaded in full is the file loaded.
#include "calc/StackCalc.h"

#include "calc/CalcView.h"
#include "storage/FolderLock.h"
#include "support/file_scratch.h"
#include "units/NumberFormat.h"
#include "units/NumberUnits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

class MessageView : public CalcView {
public:
    std::string DisplayText() const override { return display; }
    void SetDisplayText(const std::string& text) override { display = text; }
    void ShowError(const std::string& message) override { messages.push_back(message); }
    void ShowMessage(const std::string& message) override { messages.push_back(message); }
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return std::nullopt; }

    std::string display;
    std::vector<std::string> messages;
};

// Another program's save: a new file put in place in one step.
void ReplaceFromElsewhere(const std::string& file, const std::string& bytes) {
    WriteBytes(file + ".other", bytes);
    std::filesystem::rename(PathOf(file + ".other"), PathOf(file));
}

TEST(ChangedFile, KeptAsBackupWithAMessageThatSaysWhy) {
    InitUnitTables();
    const std::string loaded = "1 m\r\n", other = "2 m\r\n3 m\r\n";
    enum class Change { None, Replaced, RewrittenInPlace, Created, Removed };
    struct Case {
        const char* name;
        std::optional<std::string> atLoad; // the file when loaded; nothing: none there
        Change change;
        std::optional<std::string> backup; // what <name>.bak holds after the save; nothing: none
        const char* message;               // within the one message shown; nullptr: none shown
    };
    const Case cases[] = {
        {"unchanged", loaded, Change::None, std::nullopt, nullptr},
        {"replaced_by_another_save", loaded, Change::Replaced, other, "was changed by another program"},
        {"rewritten_in_place", loaded, Change::RewrittenInPlace, other, "was changed by another program"},
        {"created_since", std::nullopt, Change::Created, other, "was changed by another program"},
        {"removed_since", loaded, Change::Removed, std::nullopt, nullptr},
        {"not_loaded_in_full", "1 m\r\nnot a quantity\r\n", Change::None, "1 m\r\nnot a quantity\r\n",
         "was not loaded in full"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const std::string file = dir.File("SaveStck.dat");
        if (c.atLoad) WriteBytes(file, *c.atLoad);
        MessageView view;
        const int notation = static_cast<int>(Notation::Fixed), places = 7;
        StackCalc calc{view, notation, places};
        calc.LoadStackFile(file);
        view.messages.clear();
        switch (c.change) {
        case Change::None:
            break;
        case Change::Replaced:
        case Change::Created:
            ReplaceFromElsewhere(file, other);
            break;
        case Change::RewrittenInPlace:
            WriteBytes(file, other);
            break;
        case Change::Removed:
            std::filesystem::remove(PathOf(file));
            break;
        }
        ASSERT_TRUE(calc.Push("4 m")) << c.name;
        ASSERT_TRUE(calc.SaveStackFile(file)) << c.name;
        const bool hasBackup = std::filesystem::exists(PathOf(file + ".bak"));
        EXPECT_EQ(hasBackup, c.backup.has_value()) << c.name;
        if (c.backup && hasBackup) {
            EXPECT_EQ(ReadBytes(file + ".bak"), *c.backup) << c.name;
        }
        if (c.message) {
            ASSERT_EQ(view.messages.size(), 1u) << c.name;
            EXPECT_NE(view.messages[0].find(c.message), std::string::npos)
                << c.name << ": " << view.messages[0];
            EXPECT_NE(view.messages[0].find("SaveStck.dat.bak"), std::string::npos) << c.name;
        } else {
            EXPECT_TRUE(view.messages.empty()) << c.name << ": " << view.messages.front();
        }

        // A second save finds the file as this program left it: nothing more is kept.
        view.messages.clear();
        std::filesystem::remove(PathOf(file + ".bak"));
        ASSERT_TRUE(calc.SaveStackFile(file)) << c.name;
        EXPECT_FALSE(std::filesystem::exists(PathOf(file + ".bak"))) << c.name;
        EXPECT_TRUE(view.messages.empty()) << c.name;
    }
}

} // namespace
