#include "calc/StackEntry.h"

#include <utility>

#include "units/NumberFormat.h"

StackEntry::StackEntry(Units units, double value, double baseValue, int notation, int places)
    : units_(std::move(units)), value_(value), baseValue_(baseValue),
      fullNotation_(static_cast<std::int8_t>(notation)), shownNotation_(static_cast<std::int8_t>(notation)),
      shownPlaces_(static_cast<std::int8_t>(places)) {}

StackEntry::StackEntry(const StackEntry& other)
    : units_(other.units_), value_(other.value_), baseValue_(other.baseValue_),
      fullNotation_(other.fullNotation_), shownNotation_(other.shownNotation_),
      shownPlaces_(other.shownPlaces_),
      texts_(other.texts_ ? std::make_unique<Texts>(*other.texts_) : nullptr) {}

StackEntry& StackEntry::operator=(const StackEntry& other) {
    if (this != &other) *this = StackEntry(other);
    return *this;
}

TNumberUnits StackEntry::Value() const {
    TNumberUnits q = *units_;
    q.Value = value_;
    q.BaseValue = baseValue_;
    return q;
}

StackEntry::Texts& StackEntry::MadeTexts() const {
    if (!texts_) texts_ = std::make_unique<Texts>();
    return *texts_;
}

const std::string& StackEntry::FullText() const {
    Texts& t = MadeTexts();
    if (t.full.empty()) t.full = ::FullText(Value(), NotationFromInt(fullNotation_));
    return t.full;
}

const std::string& StackEntry::DisplayText() const {
    Texts& t = MadeTexts();
    if (t.display.empty())
        t.display = ::DisplayText(*units_, value_, NotationFromInt(shownNotation_), shownPlaces_);
    return t.display;
}

std::string StackEntry::TextIn(int notation, int places) const {
    if (ShowsIn(notation, places)) return DisplayText();
    return ::DisplayText(*units_, value_, NotationFromInt(notation), places);
}

bool StackEntry::ShowsIn(int notation, int places) const {
    return notation == shownNotation_ && places == shownPlaces_;
}

void StackEntry::ShowIn(int notation, int places) {
    if (ShowsIn(notation, places)) return;
    shownNotation_ = static_cast<std::int8_t>(notation);
    shownPlaces_ = static_cast<std::int8_t>(places);
    if (texts_) texts_->display.clear();
}
