// A view that records what the engine shows, and a fixture that drives a fresh engine through it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/CalcView.h"
#include "calc/KorbCalc.h"
#include "settings/ValueStore.h"
#include "support/unit_engine_scope.h"
#include "units/NumberUnits.h"

class RecordingView : public CalcView {
public:
    std::string DisplayText() const override { return display; }
    void SetDisplayText(const std::string& text) override {
        if (!failOnDisplay.empty() && text.rfind(failOnDisplay, 0) == 0)
            throw std::runtime_error("display failed");
        display = text;
        if (onChange) onChange(); // as a text field reports every change, the program's own too
    }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowMessage(const std::string& message) override { messages.push_back(message); }
    std::optional<std::string> RunUnitsSelector(const std::string& quantityText) override {
        selectorInputs.push_back(quantityText);
        return selectorAnswer;
    }
    void FocusEnterButton() override { ++enterFocus; }
    void SetSecondFunctionIndicator(bool on) override { secondIndicator = on; }
    void SetUnitSystemState(bool siDown, bool enabled) override {
        si = siDown;
        unitSystemEnabled = enabled;
    }
    void SetAutoConvertState(bool on) override { autoConvert = on; }
    void SetCalcModeState(bool on) override { calcMode = on; }
    std::string ClipboardText() const override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }

    std::string display;
    std::vector<std::string> errors, messages, selectorInputs;
    std::optional<std::string> selectorAnswer;
    std::string failOnDisplay; // a display text starting with this makes SetDisplayText throw
    std::string clipboard;
    std::function<void()> onChange;
    int enterFocus = 0;
    bool secondIndicator = false, si = false, unitSystemEnabled = false, autoConvert = false,
         calcMode = false;
};

struct Quantity {
    double value;
    std::string units;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { Start(); }

    // A fresh engine on the given stored values, shown without a preferences file.
    void Start() {
        calc.reset();
        calc = std::make_unique<KorbCalc>(view, store);
        calc->FormShow(false);
    }
    KorbCalc& c() { return *calc; }
    // Changes one settings field, as the preferences dialog would.
    template <typename T> void Set(T Settings::*field, T value) {
        Settings s = calc->CurrentSettings();
        s.*field = value;
        calc->ApplySettings(s);
    }

    // The user types text into the display and presses Enter.
    void Push(const std::string& text) {
        calc->TypeText(text);
        calc->Run(Command::Enter);
    }
    void PushAll(const std::vector<std::string>& texts) {
        for (const auto& t : texts) Push(t);
    }
    // A value typed but not yet entered.
    void Typed(const std::string& text) { calc->TypeText(text); }

    static Quantity Parse(const std::string& text) {
        TNumberUnits q;
        EXPECT_TRUE(q.SetText(text)) << text;
        std::string units = q.GetUnits();
        if (units == " ") units.clear();
        return {q.GetValue(), units};
    }
    std::vector<Quantity> StackValues() const {
        std::vector<Quantity> out;
        for (const auto& t : calc->Stack().FPStack()) out.push_back(Parse(t));
        return out;
    }
    void ExpectStack(const std::vector<Quantity>& expected) const {
        const auto actual = StackValues();
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(actual[i].value, expected[i].value,
                        1e-9 * std::max(1.0, std::fabs(expected[i].value)))
                << "entry " << i;
            EXPECT_EQ(actual[i].units, expected[i].units) << "entry " << i;
        }
    }

    UnitEngineScope unitEngine; // puts the program-wide unit flags back after each test
    MemoryValueStore store;
    RecordingView view;
    std::unique_ptr<KorbCalc> calc;
};
