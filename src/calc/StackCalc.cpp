#include "calc/StackCalc.h"

#include "calc/CalcView.h"
#include "settings/NumberFormat.h"
#include "settings/Prefs.h"
#include "settings/SafeFile.h"
#include "units/NumberUnits.h"

#include <utility>

namespace {
const std::string EmptyRegister = "0";

// An empty text "parses" without giving a value (and leaves a reused quantity holding the last
// one), so it counts as a failure here: it must neither push an empty entry nor repeat a value.
bool ParseEntry(TNumberUnits& quantity, std::string_view text) {
    return quantity.SetText(text) && quantity.ErrorCode != _NoEntry && !quantity.Empty;
}

// A line that holds only blanks carries nothing; any other line that does not parse is lost data.
bool Blank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

// Saves the file, keeping the old one as "<name>.bak" unless known, and reports what happened.
bool SaveOrReport(CalcView& view, const std::string& fileName, const std::vector<std::string>& lines,
                  bool& known) {
    const SaveResult saved = SaveTextLines(fileName, lines, !known);
    if (saved.failure) {
        view.ShowMessage(*saved.failure);
        return false;
    }
    if (saved.notice) view.ShowMessage(*saved.notice);
    known = true;
    return true;
}
} // namespace

StackCalc::StackCalc(CalcView& view, const int& fractNotation, const int& decimalPlaces)
    : view_(view), notation_(fractNotation), decimalPlaces_(decimalPlaces) {
    registers_.fill(EmptyRegister);
}

void StackCalc::SetupQuantity(TNumberUnits& quantity) const {
    quantity.Digits = 15;
    quantity.SetFormat(NotationFromInt(notation_));
}

void StackCalc::NotifyStack() {
    if (!loading_ && onStackChanged) onStackChanged();
}

void StackCalc::AppendEntry(std::string fullText, std::string displayText) {
    fpStack_.push_back(std::move(fullText));
    listBox_.push_back(std::move(displayText));
    TopIndex = static_cast<int>(fpStack_.size()) - 1;
    selected_ = TopIndex;
}

bool StackCalc::Push(const std::string& text) {
    TNumberUnits quantity;
    SetupQuantity(quantity);
    if (!ParseEntry(quantity, text)) {
        view_.ShowError(quantity.GetErrorText());
        return false;
    }
    // Stored in full, shown as it was passed.
    AppendEntry(FullText(quantity, NotationFromInt(notation_)),
                FormatForDisplay(text, NotationFromInt(notation_), decimalPlaces_));
    NotifyStack();
    RefreshViews();
    return true;
}

std::string StackCalc::Pop() {
    if (IsEmpty()) {
        view_.ShowError("Stack empty");
        return "0";
    }
    Touch(fpStack_.size() - 1);
    std::string top = std::move(fpStack_.back());
    fpStack_.pop_back();
    listBox_.pop_back();
    TopIndex = static_cast<int>(fpStack_.size()) - 1;
    selected_ = TopIndex;
    NotifyStack();
    return top;
}

std::string StackCalc::Peek() {
    if (IsEmpty()) {
        view_.ShowError("Stack empty!");
        return "0";
    }
    return fpStack_.back();
}

int StackCalc::AdjustDepth(int amount) {
    // The depth follows the lists it counts; it cannot be moved past them either way.
    const long long wanted = static_cast<long long>(TopIndex) + amount;
    const long long highest = static_cast<long long>(fpStack_.size()) - 1;
    TopIndex = static_cast<int>(wanted < -1 ? -1 : (wanted > highest ? highest : wanted));
    return Depth();
}

bool StackCalc::ValidRegister(int index) {
    if (index >= 0 && index < RegisterCount) return true;
    view_.ShowError("Invalid register index");
    return false;
}

void StackCalc::StoreTop(int index) {
    if (ValidRegister(index)) {
        if (IsEmpty())
            view_.ShowError("Stack empty!");
        else
            registers_[static_cast<size_t>(index)] = fpStack_[static_cast<size_t>(TopIndex)];
    }
    RefreshViews();
}

void StackCalc::SetRegister(const std::string& text, int index) {
    if (ValidRegister(index)) registers_[static_cast<size_t>(index)] = text;
    RefreshViews();
}

void StackCalc::RecallRegister(int index) {
    if (ValidRegister(index)) {
        if (Push(registers_[static_cast<size_t>(index)]) && showStackTop) showStackTop();
    }
    RefreshViews();
}

void StackCalc::ClearAll() {
    Touch(0);
    listBox_.clear();
    fpStack_.clear();
    TopIndex = -1;
    selected_ = -1;
    registers_.fill(EmptyRegister);
    NotifyStack();
    RefreshViews();
}

void StackCalc::RefreshViews() {
    if (loading_) return;
    if (onRegistersChanged) onRegistersChanged();
    if (onRefreshViews) onRefreshViews();
}

std::string StackCalc::RegisterDisplayText(int index) const {
    return FormatForDisplay(Register(index), NotationFromInt(notation_), decimalPlaces_);
}

void StackCalc::SwapXY() {
    if (fpStack_.size() < 2) return;
    Touch(fpStack_.size() - 2);
    std::swap(fpStack_[fpStack_.size() - 2], fpStack_.back());
    std::swap(listBox_[listBox_.size() - 2], listBox_.back());
    NotifyStack();
}

void StackCalc::MoveToTop(int index) {
    if (index < 0 || index >= static_cast<int>(fpStack_.size())) return;
    Touch(static_cast<std::size_t>(index));
    auto move = [index](std::vector<std::string>& list) {
        auto at = list.begin() + index;
        std::string item = std::move(*at);
        list.erase(at);
        list.push_back(std::move(item));
    };
    move(fpStack_);
    move(listBox_);
    NotifyStack();
}

void StackCalc::ClearEntries() {
    // The lists go first; the depth then follows them down.
    Touch(0);
    fpStack_.clear();
    listBox_.clear();
    AdjustDepth(-Depth());
    selected_ = -1;
    NotifyStack();
}

void StackCalc::UpdateAll() {
    for (size_t i = 0; i < fpStack_.size(); ++i)
        listBox_[i] = FormatForDisplay(fpStack_[i], NotationFromInt(notation_), decimalPlaces_);
    NotifyStack();
}

bool StackCalc::LoadStackFile(const std::string& fileName) {
    stackFileKnown_ = false;
    auto file = ReadTextFile(fileName);
    if (!file) {
        view_.ShowMessage("Error loading stack file.");
        return false;
    }
    const auto& lines = file->lines;
    std::size_t dropped = file->unreadableLines;
    loading_ = true;
    fpStack_.reserve(fpStack_.size() + lines.size());
    listBox_.reserve(listBox_.size() + lines.size());
    TNumberUnits quantity;
    SetupQuantity(quantity);
    for (const auto& line : lines) {
        // A line that does not parse is dropped silently; the file is then kept at the next save.
        if (!ParseEntry(quantity, line)) {
            if (!Blank(line)) ++dropped;
            continue;
        }
        // The full text is taken from the parsed value itself, so no digit is lost on the way.
        std::string full = FullText(quantity, NotationFromInt(notation_));
        std::string display = FormatForDisplay(full, NotationFromInt(notation_), decimalPlaces_);
        AppendEntry(std::move(full), std::move(display));
    }
    loading_ = false;
    stackFileKnown_ = dropped == 0;
    NotifyStack();
    RefreshViews();
    if (!IsEmpty() && showStackTop) showStackTop();
    return true;
}

bool StackCalc::LoadRegisterFile(const std::string& fileName) {
    registerFileKnown_ = false;
    auto file = ReadTextFile(fileName);
    if (!file) {
        view_.ShowMessage("Error loading register file.");
        return false;
    }
    const auto& lines = file->lines;
    std::size_t dropped = file->unreadableLines;
    loading_ = true;
    TNumberUnits quantity;
    SetupQuantity(quantity);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (Blank(lines[i])) continue;
        if (!ParseEntry(quantity, lines[i])) { // the register keeps its value
            ++dropped;
            continue;
        }
        if (i >= RegisterCount) {
            // The first parsable line past the tenth reports "Invalid register index"; once is
            // enough, and the rest of the file cannot change anything.
            ++dropped;
            SetRegister(FullText(quantity, NotationFromInt(notation_)), RegisterCount);
            break;
        }
        SetRegister(FullText(quantity, NotationFromInt(notation_)), static_cast<int>(i));
    }
    loading_ = false;
    registerFileKnown_ = dropped == 0;
    RefreshViews();
    return true;
}

bool StackCalc::SaveStackFile(const std::string& fileName) {
    return SaveOrReport(view_, fileName, fpStack_, stackFileKnown_);
}

bool StackCalc::SaveRegisterFile(const std::string& fileName) {
    std::vector<std::string> lines;
    lines.reserve(RegisterCount);
    for (const auto& text : registers_) lines.push_back(text.empty() || text == " " ? EmptyRegister : text);
    return SaveOrReport(view_, fileName, lines, registerFileKnown_);
}

bool SaveAtClose(Prefs& prefs, StackCalc& calc, const std::string& stackFile,
                 const std::string& registerFile) {
    if (prefs.Fields().SavePrefs == 0) return true;
    // Each file is tried even when an earlier one failed: one bad file should not cost the others.
    const bool prefsOk = prefs.WritePrefs();
    const bool stackOk = calc.SaveStackFile(stackFile);
    const bool registersOk = calc.SaveRegisterFile(registerFile);
    return prefsOk && stackOk && registersOk;
}
