#include "calc/StackEntry.h"

#include <utility>

#include "settings/NumberFormat.h"

StackEntry::StackEntry(TNumberUnits value, int notation, double shown, int places)
    : value_(std::move(value)), shown_(shown), fullNotation_(notation), shownNotation_(notation),
      shownPlaces_(places) {}

const std::string& StackEntry::FullText() const {
    if (!fullMade_) {
        full_ = ::FullText(value_, fullNotation_);
        fullMade_ = true;
    }
    return full_;
}

const std::string& StackEntry::DisplayText() const {
    if (!displayMade_) {
        if (shown_ == value_.Value) {
            display_ = FormatForDisplay(value_, shownNotation_, shownPlaces_);
        } else {
            TNumberUnits shown = value_;
            shown.Value = shown_;
            display_ = FormatForDisplay(shown, shownNotation_, shownPlaces_);
        }
        displayMade_ = true;
    }
    return display_;
}

bool StackEntry::ShowsStored(int notation, int places) const {
    return shown_ == value_.Value && notation == shownNotation_ && places == shownPlaces_;
}

void StackEntry::ShowStored(int notation, int places) {
    if (ShowsStored(notation, places)) return;
    shown_ = value_.Value;
    shownNotation_ = notation;
    shownPlaces_ = places;
    displayMade_ = false;
    display_.clear();
}

void StackEntry::KeepFullText(std::string text) {
    full_ = std::move(text);
    fullMade_ = true;
}
