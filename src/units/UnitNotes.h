// What the names of units stand for, and the list of every name for people looking one up.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace unitnames {

// What a catalogue name of the numbered slots stands for ("foot"), or "".
const char* CatalogueNote(std::string_view name);

// One name a unit text may use.
struct NameRow {
    std::string name;
    std::string meaning; // what it is: "foot", "kilo-joule", "alias of mi/hr"
    std::string kind;    // kind of quantity, "" for none
    std::string factor;  // value of one in base units, as "0.3048 m"; "" when a rule converts
    bool alias = false;
};
// Every catalogue name, prefixed unit and alias, in catalogue order with the aliases last.
std::vector<NameRow> AllNames();
// The rows whose name or meaning contains the text (without regard to case); all for an empty text.
std::vector<NameRow> MatchingNames(std::string_view text);

} // namespace unitnames
