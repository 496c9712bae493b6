// The command table: every word finds its own command, and the keys of the 2nd functions are
// the keys they share with a first function.
#include "calc/Commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(CommandTable, EveryWordFindsItsOwnCommand) {
    std::set<std::string_view> words;
    for (const CommandInfo& info : CommandTable()) {
        EXPECT_EQ(Describe(info.command).command, info.command);
        if (info.word.empty()) continue;
        EXPECT_TRUE(words.insert(info.word).second) << "word used twice: " << info.word;
        EXPECT_EQ(CommandForWord(info.word), info.command) << info.word;
    }
    EXPECT_EQ(CommandForWord(""), std::nullopt);
    EXPECT_EQ(CommandForWord("print"), std::nullopt); // the command-line program's own word
    EXPECT_EQ(CommandForWord("SQR"), std::nullopt);   // words are looked up in lower case
}

TEST(CommandTable, SecondFunctionsRunTheKeysOfTheirFirstFunctions) {
    const std::pair<Command, Command> pairs[] = {
        {Command::YtoX, Command::Square}, {Command::XRootY, Command::SquareRoot},
        {Command::TenToX, Command::Log},  {Command::EtoX, Command::Ln},
        {Command::ArcSin, Command::Sin},  {Command::ArcCos, Command::Cos},
        {Command::ArcTan, Command::Tan},  {Command::CircleArea, Command::Pi},
    };
    for (const auto& [second, first] : pairs) {
        EXPECT_TRUE(Describe(second).secondFunction) << Describe(second).word;
        EXPECT_FALSE(Describe(first).secondFunction) << Describe(first).word;
        EXPECT_EQ(Describe(second).handler, Describe(first).handler) << Describe(second).word;
    }
}

} // namespace
