// korbcalc-cli: the calculator engine for scripts and quick work.
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "calc/KorbCalc.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleView.h"
#include "cli/LineInput.h"
#include "cli/Output.h"
#include "cli/SessionStore.h"
#include "cli/UnitListing.h"
#include "settings/ValueStore.h"
#include "storage/FolderLock.h"
#ifdef _WIN32
#include "storage/WinText.h"
#endif
#include "units/AngleUnits.h"
#include "units/PreferredUnits.h"

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
    // Each unit takes the row its dimension selects, in the unit system now in force.
    if (!o.prefer.empty()) {
        PreferredChoices choices = CurrentPreferredChoices();
        for (const std::string& unit : o.prefer) choices.For(PreferredRowOfUnit(unit), UnitSystem) = unit;
        SetPreferredChoices(choices);
    }
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

// Whether nothing has the name. A name that cannot be looked at (a link to itself, a folder that
// cannot be searched) is not absent: loading it then reports why.
bool Absent(const char* name) {
    std::error_code ec;
    return !std::filesystem::exists(name, ec) && !ec;
}

// Reads the session's three files. A file that does not exist yet (the first run in a
// directory) gives a note, not an error.
void LoadSession(KorbCalc& calc, ConsoleView& view) {
    view.NoteNextMessage(Absent(PrefsFile));
    calc.FormShow(true);
    view.NoteNextMessage(Absent("SaveStck.dat"));
    calc.LoadSavedStack();
    view.NoteNextMessage(Absent("SaveRegs.dat"));
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

int Main(int argc, const char* const* argv) {
#ifdef _WIN32
    // Lines end in "\n" alone, the same bytes as everywhere. Input stays in text mode, which drops
    // the "\r" of Windows line ends.
    _setmode(STDOUT_FILENO, _O_BINARY);
    _setmode(STDERR_FILENO, _O_BINARY);
#endif
#ifdef SIGPIPE
    // A reader that goes away (| head, | true) makes writes fail with EPIPE instead of ending the
    // run before its session is saved.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // Answers go out in large blocks; messages at once.
    Output out(STDOUT_FILENO);
    Output errors(STDERR_FILENO);
    errors.Follow(out);
    CliOptions options;
    if (!ParseOptions(argc, argv, options)) {
        errors << CliUsage;
        return 2;
    }
    if (options.help) {
        out << CliUsage;
        return 0;
    }
    if (AsksForUnitNames(options.entries)) return WriteUnitNames(out, errors, options.entries);
    for (const std::string& unit : options.prefer)
        if (PreferredRowOfUnit(unit) == 0) {
            errors << "korbcalc-cli: --prefer " << unit
                   << ": not a unit of any kind of result that has a preferred unit\n";
            return 2;
        }

    ConsoleView view(errors);
    // A session holds its folder from before its files are read until after they are saved; a
    // run that finds another program there waits a little, then leaves the files alone.
    FolderLock lock;
    if (options.session && lock.Acquire(".", std::chrono::seconds(5)) == FolderLock::State::HeldElsewhere) {
        errors << "ERROR: another Meridot program is using the session files in this folder ("
               << FolderLockFileName << "); nothing was run\n";
        return 1;
    }
    std::unique_ptr<ValueStore> store;
    if (options.session) {
        std::string error;
        store = OpenSessionStore(error);
        if (!store) {
            errors << "korbcalc-cli: the session's value store cannot be loaded: " << error << '\n';
            return 2;
        }
        if (const auto problem = store->Problem()) view.ShowError(*problem);
    } else {
        store = std::make_unique<MemoryValueStore>();
    }
    KorbCalc calc(view, *store, PrefsFile);
    if (options.session)
        LoadSession(calc, view);
    else
        calc.FormShow(false);
    const LoadedSettings loaded{calc.CurrentSettings(), UnitSystem, AutoConvert};
    ApplyOptions(calc, options);

    CliRunner runner(calc, view, out);
    runner.SetFullTexts(options.full);
    // A damaged file that was recovered is a warning, and an error under --strict.
    const auto failed = [&] { return view.ErrorOccurred() || (options.strict && view.WarningOccurred()); };
    bool stopped = options.strict && failed();
    const auto run = [&](int number, const std::string& entry) {
        if (!RunEntry(runner, view, number, entry) && options.strict) stopped = true;
    };
    if (!options.entries.empty()) {
        const std::vector<std::string> entries = PairArguments(options.entries);
        for (size_t i = 0; i < entries.size() && !stopped; ++i) run(static_cast<int>(i) + 1, entries[i]);
    } else {
        LineInput input(STDIN_FILENO);
        // A person typing at a terminal sees each answer before typing the next line.
        const bool typing = isatty(STDIN_FILENO) != 0;
        std::string line;
        for (int number = 1; !stopped; ++number) {
            if (typing) out.Flush();
            if (!input.Next(line)) break;
            if (input.LastTooLong()) {
                // Never run: a cut entry could read as another value.
                view.SetEntry(number, line);
                view.ShowError("the line is longer than " + std::to_string(MaxTextLineLength) +
                               " characters and was not run");
                view.SetEntry(0, {});
                if (options.strict) stopped = true;
                continue;
            }
            run(number, line);
        }
    }
    if (!runner.Printed()) runner.WriteStack();
    if (options.session) {
        RestoreOptions(calc, options, loaded);
        calc.FormClose();
    }
    out.Flush();
    if (out.Failure() != 0) {
        errors << "ERROR: the answers could not all be written to standard output: "
               << std::strerror(out.Failure()) << '\n';
        return 1;
    }
    return failed() ? 1 : 0;
}

} // namespace

#ifdef _WIN32
// Windows hands the arguments over in UTF-16; main() would have them in the ANSI code page, which
// lacks most of the characters units are written with ("kΩ", "µm" in many code pages). They are
// taken as UTF-8, like standard input.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> texts;
    for (int i = 0; i < argc; ++i) texts.push_back(wintext::Utf8(argv[i]));
    std::vector<const char*> args;
    for (const std::string& text : texts) args.push_back(text.c_str());
    args.push_back(nullptr);
    return Main(argc, args.data());
}
#else
int main(int argc, char** argv) {
    return Main(argc, argv);
}
#endif
