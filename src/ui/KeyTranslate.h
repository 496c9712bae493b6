// Turns Qt key events into the keyboard map's virtual-key codes with the Shift and Ctrl state.
#pragma once

#include <optional>

#include "calc/KeyMap.h"

class QKeyEvent;

struct MapKey {
    int code = 0;
    bool shift = false;
    bool ctrl = false;
    bool operator==(const MapKey&) const = default;
};

// The key in map terms, or nothing for keys the map never sees (function keys, Tab, arrows, ...,
// and every key but Backspace, Enter and Delete held with Alt or Meta).
// Shifted characters are read on a U.S. layout: "!" is the digit 1 with Shift, "+" the "=" key
// with Shift, and so on.
std::optional<MapKey> TranslateKey(int qtKey, int qtModifiers);
std::optional<MapKey> TranslateKey(const QKeyEvent& event);
