#include "calc/StackEntry.h"

#include <utility>

#include "settings/NumberFormat.h"

StackEntry::StackEntry(Units units, double value, double baseValue, int notation, double shown, int places)
    : units_(std::move(units)), value_(value), baseValue_(baseValue), shown_(shown),
      fullNotation_(static_cast<std::int8_t>(notation)), shownNotation_(static_cast<std::int8_t>(notation)),
      shownPlaces_(static_cast<std::int8_t>(places)) {}

TNumberUnits StackEntry::Value() const {
    TNumberUnits q = *units_;
    q.Value = value_;
    q.BaseValue = baseValue_;
    return q;
}

StackEntry::StackEntry(const StackEntry& other)
    : units_(other.units_), value_(other.value_), baseValue_(other.baseValue_), shown_(other.shown_),
      fullNotation_(other.fullNotation_), shownNotation_(other.shownNotation_),
      shownPlaces_(other.shownPlaces_),
      texts_(other.texts_ ? std::make_unique<Texts>(*other.texts_) : nullptr) {}

StackEntry& StackEntry::operator=(const StackEntry& other) {
    if (this != &other) *this = StackEntry(other);
    return *this;
}

StackEntry::Texts& StackEntry::MadeTexts() const {
    if (!texts_) texts_ = std::make_unique<Texts>();
    return *texts_;
}

const std::string& StackEntry::FullText() const {
    Texts& t = MadeTexts();
    if (!t.fullMade) {
        t.full = ::FullText(Value(), fullNotation_);
        t.fullMade = true;
    }
    return t.full;
}

const std::string& StackEntry::DisplayText() const {
    Texts& t = MadeTexts();
    if (!t.displayMade) {
        TNumberUnits shown = Value();
        shown.Value = shown_;
        t.display = FormatForDisplay(shown, shownNotation_, shownPlaces_);
        t.displayMade = true;
    }
    return t.display;
}

bool StackEntry::ShowsStored(int notation, int places) const {
    return shown_ == value_ && notation == shownNotation_ && places == shownPlaces_;
}

void StackEntry::ShowStored(int notation, int places) {
    if (ShowsStored(notation, places)) return;
    shown_ = value_;
    shownNotation_ = static_cast<std::int8_t>(notation);
    shownPlaces_ = static_cast<std::int8_t>(places);
    if (texts_) {
        texts_->displayMade = false;
        texts_->display.clear();
    }
}

void StackEntry::KeepFullText(std::string text) {
    Texts& t = MadeTexts();
    t.full = std::move(text);
    t.fullMade = true;
}
