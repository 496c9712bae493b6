#include "settings/TextTrim.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

// Each reader's idea of space is relied on (an option value with a line break is refused, an entry
// of control characters is reported, a preferences line loses them), so the three stay apart.
TEST(TextTrim, EachIdeaOfSpaceTakesItsOwnCharacters) {
    const struct {
        char c;
        bool blanks, lineBreaks, controls;
    } cases[] = {{' ', true, true, true},       {'\t', true, true, true},      {'\r', false, true, true},
                 {'\n', false, true, true},     {'\0', false, false, true},    {'\x01', false, false, true},
                 {'\v', false, false, true},    {'\x1f', false, false, true},  {'!', false, false, false},
                 {'\x7f', false, false, false}, {'\xa0', false, false, false}, {'\xff', false, false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsSpace(c.c, Spaces::Blanks), c.blanks) << int(static_cast<unsigned char>(c.c));
        EXPECT_EQ(IsSpace(c.c, Spaces::LineBreaks), c.lineBreaks) << int(static_cast<unsigned char>(c.c));
        EXPECT_EQ(IsSpace(c.c, Spaces::Controls), c.controls) << int(static_cast<unsigned char>(c.c));
    }
}

TEST(TextTrim, TrimsBothEndsAndKeepsTheInside) {
    const struct {
        std::string text;
        Spaces spaces;
        std::string trimmed, endTrimmed;
    } cases[] = {
        {" \t12 ft \t", Spaces::Blanks, "12 ft", " \t12 ft"},
        {"deg\r\n", Spaces::Blanks, "deg\r\n", "deg\r\n"},
        {"\r\n sto 3\r", Spaces::LineBreaks, "sto 3", "\r\n sto 3"},
        {"\x01", Spaces::LineBreaks, "\x01", "\x01"},
        {"\x01 Places 7 \x02", Spaces::Controls, "Places 7", "\x01 Places 7"},
        {"\0 \0"s, Spaces::Controls, "", ""},
        {"\xc2\xa0", Spaces::Controls, "\xc2\xa0", "\xc2\xa0"},
        {"", Spaces::Controls, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trim(c.text, c.spaces), c.trimmed) << '"' << c.text << '"';
        EXPECT_EQ(TrimEnd(c.text, c.spaces), c.endTrimmed) << '"' << c.text << '"';
    }
}

} // namespace
