// Stack entries keep their value and make their texts once: what windows, files and the main
// display read must be what the texts of the values were, whichever way the value came.
#include "calc/StackCalc.h"

#include "calc/CalcView.h"
#include "units/NumberFormat.h"
#include "units/NumberUnits.h"

#include <gtest/gtest.h>

namespace {

constexpr int ntGeneral = 0, ntScientific = 1, ntFixed = 2, ntCurrency = 4;

class QuietView : public CalcView {
public:
    std::string DisplayText() const override { return display; }
    void SetDisplayText(const std::string& text) override { display = text; }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowMessage(const std::string&) override {}
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return std::nullopt; }
    std::vector<std::string> errors;
    std::string display;
};

class StackEntryTest : public ::testing::Test {
protected:
    void SetUp() override { InitUnitTables(); }
    std::string Top() const { return calc.FullText(calc.Count() - 1); }

    int notation = ntFixed;
    int places = 7;
    QuietView view;
    StackCalc calc{view, notation, places};
};

// The quantity kept for an entry is the one its full text reads back as, in every notation.
TEST_F(StackEntryTest, ValueIsWhatTheFullTextReadsBackAs) {
    const char* texts[] = {"12 ft",        "0.1 m",  "-3.25E-9 kg", "1234567.891 lbf*ft",    "0 C",
                           "1E+200 N/m^2", "7 $US",  "2.5 m^0.5",   "8 m^0.333333333333333", "42",
                           "1.6E-19 Coul", "98.6 F", "3 rad/sec"};
    for (int n = ntGeneral; n <= ntCurrency; ++n) {
        notation = n;
        for (const char* text : texts) {
            ASSERT_TRUE(calc.Push(text)) << text;
            const TNumberUnits kept = calc.Entry(calc.Count() - 1).Value();
            TNumberUnits read;
            ASSERT_TRUE(read.SetText(Top())) << Top();
            EXPECT_EQ(kept.Value, read.Value) << text << " in notation " << n;
            EXPECT_EQ(kept.BaseValue, read.BaseValue) << text;
            EXPECT_EQ(kept.Units, read.Units) << text;
            EXPECT_EQ(kept.BaseUnitsText, read.BaseUnitsText) << text;
            EXPECT_EQ(kept.Signature, read.Signature) << text;
        }
    }
}

// The main display shows X as the text of its full text would show: the cached display text when
// the format is the one it was made in, a fresh one after a change of notation or places.
TEST_F(StackEntryTest, ShownTopIsTheFormattedFullText) {
    const char* texts[] = {"12 ft", "0.00000001 m", "-1234.5 lbf", "1E-30 kg", "5 m^0.5"};
    for (const char* text : texts) {
        notation = ntFixed;
        places = 2;
        ASSERT_TRUE(calc.Push(text));
        for (int n = ntGeneral; n <= ntCurrency; ++n)
            for (int p : {0, 2, 7, 15}) {
                notation = n;
                places = p;
                calc.ShowTop();
                EXPECT_EQ(view.display, FormatForDisplay(Top(), NotationFromInt(n), p))
                    << text << " " << n << " " << p;
            }
    }
}

TEST_F(StackEntryTest, TextsAreMadeOnceAndRemadeOnlyForANewFormat) {
    ASSERT_TRUE(calc.Push("12 ft"));
    const std::string& shown = calc.DisplayText(0);
    EXPECT_EQ(shown, "12.0000000 ft");
    EXPECT_EQ(&calc.DisplayText(0), &shown); // the same text, not made again
    ASSERT_TRUE(calc.Push("3 m"));
    EXPECT_EQ(calc.DisplayText(0), "12.0000000 ft");

    notation = ntScientific;
    places = 2;
    EXPECT_EQ(calc.DisplayText(0), "12.0000000 ft"); // the list keeps its texts until re-rendered
    calc.UpdateAll();
    EXPECT_EQ(calc.DisplayText(0), "1.20E+01 ft");
    EXPECT_EQ(calc.FullText(0), "12.000000000000000 ft"); // stored in the notation it was pushed in
}

// Operations pop entries and put them back on failure: that must leave what a push of the full
// text would, also when the notation changed in between.
TEST_F(StackEntryTest, PutBackIsAPushOfTheFullText) {
    StackCalc byText{view, notation, places};
    for (int change : {ntFixed, ntGeneral, ntScientific}) {
        ASSERT_TRUE(calc.Push("2.5 lbf/in^2"));
        ASSERT_TRUE(byText.Push("2.5 lbf/in^2"));
        const StackEntry popped = calc.PopEntry();
        const std::string full = byText.Pop();
        notation = change;
        calc.PutBack(popped);
        ASSERT_TRUE(byText.Push(full));
        EXPECT_EQ(calc.FPStack(), byText.FPStack());
        EXPECT_EQ(calc.StackListBox(), byText.StackListBox());
        notation = ntFixed;
    }
}

TEST_F(StackEntryTest, RecalledRegisterEqualsThePushOfItsText) {
    ASSERT_TRUE(calc.Push("0.1 m^0.5"));
    calc.StoreTop(4);
    calc.SetRegister(calc.Register(4), 5); // the same text, without its value
    calc.RecallRegister(4);
    calc.RecallRegister(5);
    ASSERT_EQ(calc.Count(), 3);
    EXPECT_EQ(calc.FullText(1), calc.FullText(2));
    EXPECT_EQ(calc.DisplayText(1), calc.DisplayText(2));
    EXPECT_EQ(calc.RegisterDisplayText(4), calc.RegisterDisplayText(5));
}

TEST_F(StackEntryTest, CopiesAreIndependent) {
    ASSERT_TRUE(calc.Push("5 kg"));
    StackEntry copy = calc.Entry(0);
    copy.ShowIn(ntGeneral, 0);
    EXPECT_EQ(copy.DisplayText(), "5 kg");
    EXPECT_EQ(calc.DisplayText(0), "5.0000000 kg");
}

} // namespace
