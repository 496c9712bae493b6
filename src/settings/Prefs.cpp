#include "settings/Prefs.h"

#include "settings/TextTrim.h"
#include "settings/ValueStore.h"
#include "storage/SafeFile.h"
#include "units/AngleUnits.h"
#include "units/QuantityMath.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <optional>
#include <string_view>

namespace {

struct BoolKey {
    std::string_view key;
    int Settings::*field;
};

// Every boolean key of the file; positions and the three named-value keys are handled apart.
constexpr std::array<BoolKey, 12> BoolKeys{{
    {"Show_Stack", &Settings::ShowStack},
    {"Show_Regs", &Settings::ShowRegs},
    {"Save_Pos", &Settings::SavePos},
    {"Save_Stack_Pos", &Settings::SaveStackPos},
    {"Save_Reg_Pos", &Settings::SaveRegPos},
    {"Save_Prefs", &Settings::SavePrefs},
    {"Save_Stack", &Settings::SaveStack},
    {"Save_Regs", &Settings::SaveRegs},
    {"Switch_To_FF", &Settings::SwitchToFF},
    {"Sub_As_CHS", &Settings::SubAsCHS},
    {"Copy_Operators", &Settings::CopyOperators},
    {"Do_Inline_Math", &Settings::DoInlineMath},
}};

// Keyword of each value, in value order (the angle units keep their own table).
constexpr std::array<std::string_view, 6> NotationWords{"General", "Scientific", "Fixed",
                                                        "Number",  "Currency",   "Engineering"};
constexpr int FixedNotation = 2;
constexpr int FallbackDecimalPlaces = 7;
constexpr int FallbackCalcPos = 100;
constexpr int RegisterWindowDrop = 150; // the register window's fallback place sits this far below

std::string RemoveBlanks(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

// The text after the first "=", or the whole text when there is none.
std::string_view ValueText(std::string_view line) {
    auto eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(eq + 1);
}

// Index of word in the list, compared with exact letter case.
template <size_t N>
std::optional<int> WordIndex(const std::array<std::string_view, N>& words, std::string_view word) {
    for (size_t i = 0; i < N; ++i)
        if (words[i] == word) return static_cast<int>(i);
    return std::nullopt;
}

// Splits "x, y" at the first comma; both parts keep the start texts when there is no comma.
std::optional<WindowPos> ParsePosition(std::string_view line, std::string_view startX,
                                       std::string_view startY) {
    std::string x(startX), y(startY);
    auto value = ValueText(line);
    auto comma = value.find(',');
    if (comma != std::string_view::npos) {
        x = RemoveBlanks(value.substr(0, comma));
        y = RemoveBlanks(value.substr(comma + 1));
    }
    auto px = ParseDecimalInteger(x);
    auto py = ParseDecimalInteger(y);
    if (!px || !py) return std::nullopt;
    return WindowPos{*px, *py};
}

int ClampToInt(long long value) {
    return static_cast<int>(
        std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string BoolText(int value) {
    return value != 0 ? "true" : "false";
}
std::string PosText(WindowPos p) {
    return std::to_string(p.x) + ", " + std::to_string(p.y);
}

} // namespace

Prefs::Prefs(Settings& settings, ValueStore& store, std::string fileName)
    : s_(settings), store_(store), fileName_(std::move(fileName)) {}

bool Prefs::PrefIsTrue(const std::string& line) {
    auto value = Trim(ValueText(Trim(line, Spaces::Controls)), Spaces::Controls);
    constexpr std::string_view word = "true";
    return std::equal(value.begin(), value.end(), word.begin(), word.end(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool Prefs::ParsePrefLine(const std::string& line, PrefsLoad& load, int mainWidth) {
    auto trimmed = Trim(line, Spaces::Controls);
    auto key = trimmed.substr(0, trimmed.find(' '));

    for (const auto& b : BoolKeys) {
        if (b.key == key) {
            s_.*b.field = PrefIsTrue(line) ? 1 : 0;
            return true;
        }
    }
    if (key == "Calc_Pos") {
        auto pos = ParsePosition(trimmed, "100", "100");
        if (!pos) {
            s_.CalcPos = {FallbackCalcPos, FallbackCalcPos};
            return true;
        }
        s_.CalcPos = *pos;
        load.moveMainTo = *pos;
    } else if (key == "Stack_Pos" || key == "Reg_Pos") {
        const bool stack = key == "Stack_Pos";
        if (auto pos = ParsePosition(trimmed, "", "")) {
            (stack ? s_.StackPos : s_.RegPos) = *pos;
            return true;
        }
        // A bad position puts both windows back beside the main window, the register window one
        // step lower; a later good line of the other key still sets its own window. The stored
        // main position may be any int, so the sums are done wider and kept in range (the
        // windows then bring the place onto a screen).
        const long long width = mainWidth;
        const int right = ClampToInt(s_.CalcPos.x + width);
        s_.StackPos = {right, s_.CalcPos.y};
        s_.RegPos = {right, ClampToInt(s_.CalcPos.y + static_cast<long long>(RegisterWindowDrop))};
    } else if (key == "Angular_Default") {
        s_.AngularDefault = WordIndex(AngleUnitNames, RemoveBlanks(ValueText(trimmed))).value_or(0);
    } else if (key == "Fract_Notation") {
        s_.FractNotation = WordIndex(NotationWords, RemoveBlanks(ValueText(trimmed))).value_or(FixedNotation);
        load.notationSet = true;
    } else if (key == "Decimal_Places") {
        auto places = ParseDecimalInteger(RemoveBlanks(ValueText(trimmed)));
        s_.DecimalPlaces = places && *places >= 0 && *places <= 15 ? *places : FallbackDecimalPlaces;
        load.showTop = true;
    } else {
        return false;
    }
    return true;
}

PrefsLoad Prefs::LoadPrefs(const PrefsContext& context) {
    PrefsLoad load;
    loaded_.Note(fileName_);
    std::string problem;
    auto file = ReadTextFile(fileName_, MaxTextLineLength, &problem);
    bool anyKey = false;
    if (file) {
        for (const auto& line : file->lines) {
            if (line.empty() || line.front() == ';') continue;
            anyKey = ParsePrefLine(line, load, context.mainWidth) || anyKey;
        }
    }
    // A file without one known key (empty, binary, another encoding) would leave every setting at
    // zero, saving switched off among them: it counts as no file.
    if (!anyKey) {
        fileKnown_ = false;
        load.messages.push_back(
            {PrefsMessage::Kind::Warning,
             "Can't load Prefs from INI file: " + fileName_ + (problem.empty() ? "" : ". " + problem + ".")});
        ApplyNoFileDefaults();
        load.notationSet = true;
        PrefsWrite written = WritePrefs(context);
        for (auto& message : written.messages) load.messages.push_back(std::move(message));
        return load;
    }
    fileKnown_ = file->unreadableLines == 0;
    load.fromFile = true;
    return load;
}

void Prefs::ApplyNoFileDefaults() {
    s_.AngularDefault = 0;
    s_.CopyOperators = 1;
    s_.DoInlineMath = 0;
    s_.SwitchToFF = 1;
    s_.SubAsCHS = 0;
    s_.FractNotation = FixedNotation;
    s_.DecimalPlaces = FallbackDecimalPlaces;
    s_.ShowStack = 0;
    s_.ShowRegs = 0;
    s_.SavePos = 1;
    s_.CalcPos = {FallbackCalcPos, FallbackCalcPos};
    s_.RegPos = {485, 250};
    s_.StackPos = {485, 100};
    s_.SavePrefs = 1;
    s_.SaveStack = 1;
    s_.SaveRegs = 1;
}

std::vector<std::string> Prefs::BuildLines(const PrefsContext& context) const {
    auto current = [](const std::optional<WindowPos>& where, int save, WindowPos stored) {
        return save != 0 && where ? *where : stored;
    };
    std::vector<std::string> lines{
        "; Meridot engineering calculator",
        "; Preference Initialization File",
        " ",
        " ",
        " ",
        "[Startup Options]",
        "Show_Stack = " + BoolText(s_.ShowStack),
        "Show_Regs = " + BoolText(s_.ShowRegs),
    };
    if (s_.SavePos == 1) lines.push_back("Save_Pos = true");
    lines.push_back("Calc_Pos = " + PosText(current(context.mainPos, s_.SavePos, s_.CalcPos)));
    lines.push_back("Save_Stack_Pos = " + BoolText(s_.SaveStackPos));
    lines.push_back("Stack_Pos = " + PosText(current(context.stackPos, s_.SaveStackPos, s_.StackPos)));
    lines.push_back("Save_Reg_Pos = " + BoolText(s_.SaveRegPos));
    lines.push_back("Reg_Pos = " + PosText(current(context.registerPos, s_.SaveRegPos, s_.RegPos)));
    lines.push_back("Save_Prefs = " + BoolText(s_.SavePrefs));
    lines.push_back("Save_Stack = " + BoolText(s_.SaveStack));
    lines.push_back("Save_Regs = " + BoolText(s_.SaveRegs));
    lines.push_back(" ");
    lines.push_back("[Calculator Mode Options]");
    lines.push_back("Switch_To_FF = " + BoolText(s_.SwitchToFF));
    lines.push_back("Sub_As_CHS = " + BoolText(s_.SubAsCHS));
    lines.push_back(" ");
    lines.push_back("[Free Form Mode Options]");
    lines.push_back("Copy_Operators = " + BoolText(s_.CopyOperators));
    lines.push_back("Do_Inline_Math = " + BoolText(s_.DoInlineMath));
    lines.push_back(" ");
    lines.push_back("[Other Options]");
    if (s_.AngularDefault >= 0 && s_.AngularDefault < static_cast<int>(AngleUnitNames.size()))
        lines.push_back("Angular_Default = " +
                        std::string(AngleUnitNames[static_cast<size_t>(s_.AngularDefault)]));
    const bool knownNotation =
        s_.FractNotation >= 0 && s_.FractNotation < static_cast<int>(NotationWords.size());
    lines.push_back(
        "Fract_Notation = " +
        std::string(NotationWords[static_cast<size_t>(knownNotation ? s_.FractNotation : FixedNotation)]));
    lines.push_back("Decimal_Places = " + std::to_string(s_.DecimalPlaces));
    return lines;
}

PrefsWrite Prefs::WritePrefs(const PrefsContext& context) {
    PrefsWrite result;
    const bool changed = loaded_.ChangedOnDisk(fileName_);
    const SaveResult saved = SaveTextLines(fileName_, BuildLines(context), !fileKnown_ || changed);
    const auto& failure = saved.failure;
    if (failure) {
        result.messages.push_back({PrefsMessage::Kind::WriteError, *failure});
    } else {
        result.written = true;
        fileKnown_ = true;
        loaded_.Note(fileName_);
        if (saved.notice)
            result.messages.push_back(
                {PrefsMessage::Kind::Note, changed ? ChangedFileKeptNotice(fileName_) : *saved.notice});
    }
    // The stored values do not depend on the file and are written either way.
    store_.WriteBool(std::string(stored::AutoConvert.name), AutoConvert);
    store_.WriteBool(std::string(stored::UnitSystem.name), UnitSystem);
    if (context.calcMode) store_.WriteInteger(std::string(stored::CalcMode.name), *context.calcMode ? 1 : 0);
    return result;
}
