// korbcalc-cli: the calculator engine for scripts and quick work.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "calc/KorbCalc.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleView.h"
#include "cli/LineInput.h"
#include "cli/SessionStore.h"
#include "settings/ValueStore.h"
#include "units/AngleUnits.h"

namespace {

const char* const PrefsFile = "Meridot.ini";

// The settings the options may change, as loaded, so the session can save them unchanged.
struct LoadedSettings {
    Settings settings;
    bool unitSystem = true;
    bool autoConvert = true;
};

void ApplyOptions(KorbCalc& calc, const CliOptions& o) {
    if (o.autoConvert >= 0) calc.AutoConvertBtnClick(o.autoConvert == 1);
    if (o.unitSystem == 1) calc.SIBtnClick();
    if (o.unitSystem == 0) calc.USBtnClick();
    if (o.angle >= 0) calc.SetAngularDefault(o.angle);
    const Settings& s = calc.CurrentSettings();
    if (o.notation >= 0 || o.places >= 0)
        calc.ApplyNumberFormat(o.notation >= 0 ? o.notation : s.FractNotation,
                               o.places >= 0 ? o.places : s.DecimalPlaces);
    calc.UpdateAllLists();
    calc.ShowStackTop();
}

// Puts back what the options changed; changes made by entries ("si", "autoconv off") stay.
void RestoreOptions(KorbCalc& calc, const CliOptions& o, const LoadedSettings& loaded) {
    if (o.autoConvert >= 0) calc.AutoConvertBtnClick(loaded.autoConvert);
    if (o.unitSystem >= 0) loaded.unitSystem ? calc.SIBtnClick() : calc.USBtnClick();
    if (o.angle >= 0) calc.SetAngularDefault(loaded.settings.AngularDefault);
    if (o.notation >= 0 || o.places >= 0)
        calc.ApplyNumberFormat(loaded.settings.FractNotation, loaded.settings.DecimalPlaces);
}

// Reads the session's three files. A file that does not exist yet (the first run in a
// directory) gives a note, not an error.
void LoadSession(KorbCalc& calc, ConsoleView& view) {
    namespace fs = std::filesystem;
    view.NoteNextMessage(!fs::exists(PrefsFile));
    calc.FormShow(true);
    view.NoteNextMessage(!fs::exists("SaveStck.dat"));
    calc.LoadSavedStack();
    view.NoteNextMessage(!fs::exists("SaveRegs.dat"));
    calc.LoadSavedRegisters();
    view.NoteNextMessage(false);
}

// Runs one entry under its number; an undefined tangent counts as an error. False when the
// entry failed.
bool RunEntry(CliRunner& runner, ConsoleView& view, int number, const std::string& entry) {
    const int errorsBefore = view.ErrorCount();
    view.SetEntry(number, entry);
    view.TakeUndefinedShown();
    runner.Run(entry);
    if (view.TakeUndefinedShown() && view.ErrorCount() == errorsBefore) view.ShowError(Prompt::Undefined);
    view.SetEntry(0, {});
    return view.ErrorCount() == errorsBefore;
}

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::cerr << CliUsage;
        return 2;
    }
    if (options.help) {
        std::cout << CliUsage;
        return 0;
    }
    std::ios::sync_with_stdio(false);
    // Output goes out in large blocks. Only a person typing at a terminal needs each answer before
    // the next line is read (std::cin, read only then, flushes it); piped input is read without it.
    static char outputBuffer[1 << 14];
    std::cout.rdbuf()->pubsetbuf(outputBuffer, sizeof outputBuffer);

    ConsoleView view(std::cerr);
    std::unique_ptr<ValueStore> store;
    if (options.session) {
        std::string error;
        store = OpenSessionStore(error);
        if (!store) {
            std::cerr << "korbcalc-cli: the session's value store cannot be loaded: " << error << '\n';
            return 2;
        }
    } else {
        store = std::make_unique<MemoryValueStore>();
    }
    KorbCalc calc(view, *store, {}, PrefsFile);
    if (options.session)
        LoadSession(calc, view);
    else
        calc.FormShow(false);
    const LoadedSettings loaded{calc.CurrentSettings(), UnitSystem, AutoConvert};
    ApplyOptions(calc, options);

    CliRunner runner(calc, view, std::cout);
    runner.SetFullTexts(options.full);
    bool stopped = options.strict && view.ErrorOccurred();
    const auto run = [&](int number, const std::string& entry) {
        if (!RunEntry(runner, view, number, entry) && options.strict) stopped = true;
    };
    if (!options.entries.empty()) {
        const std::vector<std::string> entries = PairArguments(options.entries);
        for (size_t i = 0; i < entries.size() && !stopped; ++i) run(static_cast<int>(i) + 1, entries[i]);
    } else {
        LineInput input(STDIN_FILENO, isatty(STDIN_FILENO) != 0);
        std::string line;
        for (int number = 1; !stopped && input.Next(line); ++number) run(number, line);
    }
    if (!runner.Printed()) runner.WriteStack();
    if (options.session) {
        RestoreOptions(calc, options, loaded);
        calc.FormClose();
    }
    std::cout.flush();
    return view.ErrorOccurred() ? 1 : 0;
}
