#include "calc/StackCalc.h"

#include "calc/CalcView.h"
#include "settings/Prefs.h"
#include "settings/TextTrim.h"
#include "storage/SafeFile.h"
#include "units/NumberFormat.h"
#include "units/NumberUnits.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
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
    return Trim(line, Spaces::Blanks).empty();
}

// Whether a line that parsed was read in full. A number that is not zero but came out as zero
// underflowed ("1e-999 m"). A character the reading has no use for may have been passed over
// ("1 §m" read as 1 m): the line then reads the same without it. Either way the value differs from
// what the line says, so the file must be kept when it is replaced.
bool ReadInFull(const std::string& line, const TNumberUnits& quantity, Notation notation) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (quantity.GetValue() == 0) {
        for (const char c : line) { // the number comes before the first letter
            if (letter(c)) break;
            if (c >= '1' && c <= '9') return false;
        }
    }
    // Letters, digits, what quantity texts are written with, and the characters read as nothing.
    const auto known = [&letter](char c) {
        return letter(c) || (c >= '0' && c <= '9') || std::strchr(" \t+-.*/^$()!#%&,@`~", c) != nullptr;
    };
    std::string knownOnly;
    for (const char c : line)
        if (c != '\0' && known(c)) knownOnly += c;
    if (knownOnly.size() == line.size()) return true;
    TNumberUnits without;
    without.Digits = quantity.Digits;
    return !without.SetText(knownOnly) || without.Empty ||
           FullText(without, notation) != FullText(quantity, notation);
}

// Saves the file, keeping the old one as "<name>.bak" unless known and unchanged since loaded, and
// reports what happened.
bool SaveOrReport(CalcView& view, const std::string& fileName, const std::string& text, bool& known,
                  LoadedFile& loaded) {
    const bool changed = loaded.ChangedOnDisk(fileName);
    const SaveResult saved = SaveText(fileName, text, !known || changed);
    if (saved.failure) {
        view.ShowMessage(*saved.failure);
        return false;
    }
    if (saved.notice) view.ShowNote(changed ? ChangedFileKeptNotice(fileName) : *saved.notice);
    known = true;
    loaded.Note(fileName);
    return true;
}

void ReportDamage(CalcView& view, const std::string& fileName, std::size_t dropped) {
    if (dropped == 0) return;
    view.ShowFileDamage("\"" + fileName + "\" was not loaded in full: " + std::to_string(dropped) +
                        (dropped == 1 ? " line was" : " lines were") + " not read as written");
}

// A zero of either sign reads back from its text as 0.
double Unsigned(double value) {
    return value == 0 ? 0.0 : value;
}

} // namespace

StackCalc::StackCalc(CalcView& view, const int& fractNotation, const int& decimalPlaces)
    : view_(view), observer_(&view), notation_(fractNotation), decimalPlaces_(decimalPlaces) {
    registers_.fill(EmptyRegister);
}

void StackCalc::SetupQuantity(TNumberUnits& quantity) const {
    quantity.Digits = 15;
    quantity.SetFormat(NotationFromInt(notation_));
}

void StackCalc::NotifyEntries(void (CalcObserver::*what)(int, int), int first, int count) {
    if (!loading_ && count > 0) (observer_->*what)(first, count);
}

void StackCalc::NotifyReset() {
    if (!loading_) observer_->EntriesReset();
}

void StackCalc::NotifyRegisters() {
    if (!loading_) observer_->RegistersChanged();
}

StackEntry::Units StackCalc::SharedUnits(const TNumberUnits& value) {
    // Bit for bit: units that differ only in the sign of a zero are merely not shared.
    const auto same = [&value](const StackEntry::Units& units) {
        return units && units->Units == value.Units &&
               std::memcmp(units->UnitLists.data(), value.UnitLists.data(), sizeof value.UnitLists) == 0 &&
               std::memcmp(units->Signature.data(), value.Signature.data(), sizeof value.Signature) == 0 &&
               units->BaseUnitsText == value.BaseUnitsText;
    };
    // Values on a stack mostly come in few units: most are found by a short hash of their text.
    std::uint32_t hash = 2166136261u;
    for (const char ch : value.Units) hash = (hash ^ static_cast<unsigned char>(ch)) * 16777619u;
    StackEntry::Units& recent = recentUnits_[(hash ^ (hash >> 16)) % recentUnits_.size()];
    if (same(recent)) return recent;
    if (unitsByText_.size() >= MaxSharedUnits && !unitsByText_.contains(value.Units)) unitsByText_.clear();
    StackEntry::Units& known = unitsByText_[value.Units];
    if (!same(known)) known = StackEntry::Units::Make(value);
    recent = known;
    return known;
}

void StackCalc::Append(const TNumberUnits& value) {
    // The full text reads back as the value itself, so the value is kept as it is; its texts are
    // made when they are first needed.
    entries_.emplace_back(SharedUnits(value), Unsigned(value.Value), value.BaseValue, notation_,
                          decimalPlaces_);
    TopIndex = static_cast<int>(entries_.size()) - 1;
    selected_ = TopIndex;
}

bool StackCalc::Push(const std::string& text) {
    TNumberUnits quantity;
    SetupQuantity(quantity);
    if (!ParseEntry(quantity, text)) {
        view_.ShowError(quantity.GetErrorText());
        return false;
    }
    PushValue(quantity);
    return true;
}

void StackCalc::PushValue(const TNumberUnits& value) {
    Append(value);
    NotifyEntries(&CalcObserver::EntriesInserted, TopIndex, 1);
    RefreshViews();
}

void StackCalc::PutBack(const StackEntry& entry) {
    // Kept whole, texts and all, unless the notation of its full text has changed since.
    if (entry.Notation() == notation_) {
        entries_.push_back(entry);
        entries_.back().ShowIn(notation_, decimalPlaces_);
        TopIndex = static_cast<int>(entries_.size()) - 1;
        selected_ = TopIndex;
    } else {
        Append(entry.Value());
    }
    NotifyEntries(&CalcObserver::EntriesInserted, TopIndex, 1);
    RefreshViews();
}

StackEntry StackCalc::PopEntry() {
    if (IsEmpty()) {
        view_.ShowError("Stack empty");
        TNumberUnits zero;
        ParseEntry(zero, EmptyRegister);
        return StackEntry(SharedUnits(zero), 0, zero.BaseValue, notation_, decimalPlaces_);
    }
    Touch(entries_.size() - 1);
    StackEntry top = std::move(entries_.back());
    entries_.pop_back();
    TopIndex = static_cast<int>(entries_.size()) - 1;
    selected_ = TopIndex;
    NotifyEntries(&CalcObserver::EntriesRemoved, TopIndex + 1, 1);
    return top;
}

std::string StackCalc::Pop() {
    if (IsEmpty()) {
        view_.ShowError("Stack empty");
        return "0";
    }
    return PopEntry().FullText();
}

std::string StackCalc::Peek() {
    if (IsEmpty()) {
        view_.ShowError("Stack empty!");
        return "0";
    }
    return entries_.back().FullText();
}

TNumberUnits StackCalc::TopValue() {
    if (IsEmpty()) {
        view_.ShowError("Stack empty!");
        TNumberUnits zero;
        ParseEntry(zero, EmptyRegister);
        return zero;
    }
    return entries_.back().Value();
}

void StackCalc::ShowTop() const {
    if (!entries_.empty()) view_.ShowEntry(entries_.back(), notation_, decimalPlaces_);
}

std::vector<std::string> StackCalc::FPStack() const {
    std::vector<std::string> texts;
    texts.reserve(entries_.size());
    for (const auto& e : entries_) texts.push_back(e.FullText());
    return texts;
}

std::vector<std::string> StackCalc::StackListBox() const {
    std::vector<std::string> texts;
    texts.reserve(entries_.size());
    for (const auto& e : entries_) texts.push_back(e.DisplayText());
    return texts;
}

int StackCalc::AdjustDepth(int amount) {
    // The depth follows the lists it counts; it cannot be moved past them either way.
    const long long wanted = static_cast<long long>(TopIndex) + amount;
    const long long highest = static_cast<long long>(entries_.size()) - 1;
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
        if (IsEmpty()) {
            view_.ShowError("Stack empty!");
        } else {
            const StackEntry& top = entries_[static_cast<size_t>(TopIndex)];
            TouchRegisters();
            registers_[static_cast<size_t>(index)] = top.FullText();
            registerValues_[static_cast<size_t>(index)] = top.Value();
            NotifyRegisters();
        }
    }
    RefreshViews();
}

void StackCalc::SetRegister(const std::string& text, int index) {
    if (ValidRegister(index)) {
        TouchRegisters();
        registers_[static_cast<size_t>(index)] = text;
        registerValues_[static_cast<size_t>(index)].reset();
        NotifyRegisters();
    }
    RefreshViews();
}

void StackCalc::RecallRegister(int index) {
    if (ValidRegister(index)) {
        const auto& value = registerValues_[static_cast<size_t>(index)];
        bool pushed = true;
        if (value)
            PushValue(*value); // its full text reads back as this value
        else
            pushed = Push(registers_[static_cast<size_t>(index)]);
        if (pushed) observer_->TopReplaced();
    }
    RefreshViews();
}

void StackCalc::ClearAll() {
    Touch(0);
    entries_.clear();
    TopIndex = -1;
    selected_ = -1;
    TouchRegisters();
    registers_.fill(EmptyRegister);
    for (auto& value : registerValues_) value.reset();
    NotifyReset();
    NotifyRegisters();
    RefreshViews();
}

void StackCalc::RefreshViews() {
    if (loading_) return;
    observer_->ViewsRefreshed();
}

std::string StackCalc::RegisterDisplayText(int index) const {
    if (const auto& value = registerValues_.at(static_cast<size_t>(index)))
        return ::DisplayText(*value, NotationFromInt(notation_), decimalPlaces_);
    return FormatForDisplay(Register(index), NotationFromInt(notation_), decimalPlaces_);
}

void StackCalc::SwapXY() {
    if (entries_.size() < 2) return;
    Touch(entries_.size() - 2);
    std::swap(entries_[entries_.size() - 2], entries_.back());
    NotifyEntries(&CalcObserver::EntriesChanged, static_cast<int>(entries_.size()) - 2, 2);
}

void StackCalc::MoveToTop(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    Touch(static_cast<std::size_t>(index));
    auto at = entries_.begin() + index;
    StackEntry item = std::move(*at);
    entries_.erase(at);
    entries_.push_back(std::move(item));
    // The entries from index up each move down by one row.
    NotifyEntries(&CalcObserver::EntriesChanged, index, static_cast<int>(entries_.size()) - index);
}

void StackCalc::ClearEntries() {
    // The entries go first; the depth then follows them down.
    Touch(0);
    entries_.clear();
    AdjustDepth(-Depth());
    selected_ = -1;
    NotifyReset();
}

void StackCalc::UpdateAll() {
    // Each display text is made again, from the value the full text holds, when it is next shown.
    for (auto& entry : entries_) entry.ShowIn(notation_, decimalPlaces_);
    NotifyEntries(&CalcObserver::EntriesChanged, 0, static_cast<int>(entries_.size()));
}

bool StackCalc::LoadStackFile(const std::string& fileName) {
    stackFileKnown_ = false;
    stackFile_.Note(fileName);
    std::string problem;
    auto file = ReadTextFile(fileName, MaxTextLineLength, &problem);
    if (!file) {
        view_.ShowWarning(problem.empty() ? "Error loading stack file."
                                          : "Error loading stack file. " + problem + ".");
        return false;
    }
    const int first = Count();
    const auto& lines = file->lines;
    std::size_t dropped = file->unreadableLines;
    loading_ = true;
    TNumberUnits quantity;
    SetupQuantity(quantity);
    for (const auto& line : lines) {
        // A line that does not parse is dropped silently; the file is then kept at the next save.
        if (!ParseEntry(quantity, line)) {
            if (!Blank(line)) ++dropped;
            continue;
        }
        if (!ReadInFull(line, quantity, NotationFromInt(notation_))) ++dropped;
        Append(quantity);
    }
    loading_ = false;
    stackFileKnown_ = dropped == 0;
    ReportDamage(view_, fileName, dropped);
    // The window hears of the whole file at once.
    NotifyEntries(&CalcObserver::EntriesInserted, first, Count() - first);
    RefreshViews();
    if (!IsEmpty()) observer_->TopReplaced();
    return true;
}

bool StackCalc::LoadRegisterFile(const std::string& fileName) {
    registerFileKnown_ = false;
    registerFile_.Note(fileName);
    std::string problem;
    auto file = ReadTextFile(fileName, MaxTextLineLength, &problem);
    if (!file) {
        view_.ShowWarning(problem.empty() ? "Error loading register file."
                                          : "Error loading register file. " + problem + ".");
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
        if (!ReadInFull(lines[i], quantity, NotationFromInt(notation_))) ++dropped;
        if (i >= RegisterCount) {
            // The first parsable line past the tenth reports "Invalid register index"; once is
            // enough, and the rest of the file cannot change anything.
            ++dropped;
            SetRegister(::FullText(quantity, NotationFromInt(notation_)), RegisterCount);
            break;
        }
        SetRegister(::FullText(quantity, NotationFromInt(notation_)), static_cast<int>(i));
    }
    loading_ = false;
    registerFileKnown_ = dropped == 0;
    ReportDamage(view_, fileName, dropped);
    NotifyRegisters();
    RefreshViews();
    return true;
}

bool StackCalc::SaveStackFile(const std::string& fileName) {
    std::string text;
    for (const auto& entry : entries_) {
        text += entry.FullText();
        text += "\r\n";
    }
    return SaveOrReport(view_, fileName, text, stackFileKnown_, stackFile_);
}

bool StackCalc::SaveRegisterFile(const std::string& fileName) {
    std::string text;
    for (const auto& line : registers_) {
        text += line.empty() || line == " " ? EmptyRegister : line;
        text += "\r\n";
    }
    return SaveOrReport(view_, fileName, text, registerFileKnown_, registerFile_);
}

bool SaveAtClose(bool savePrefs, const std::function<bool()>& writePrefs, StackCalc& calc,
                 const std::string& stackFile, const std::string& registerFile) {
    if (!savePrefs) return true;
    // Each file is tried even when an earlier one failed: one bad file should not cost the others.
    const bool prefsOk = writePrefs();
    const bool stackOk = calc.SaveStackFile(stackFile);
    const bool registersOk = calc.SaveRegisterFile(registerFile);
    return prefsOk && stackOk && registersOk;
}
