// The names a unit text may use beyond the catalogue's own (aliases such as "s", "feet", "mph"),
// how a name is resolved, the words that explain a text that does not read, and the list of every
// name for people looking one up.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace unitnames {

// What one name in a unit text stands for: one or more catalogue units with their exponents (an
// alias of a compound, "mph", stands for mi^1 and hr^-1).
struct Term {
    int unit = 0;
    double exponent = 1;
};
struct Meaning {
    int count = 0;
    std::array<Term, 3> terms{};
};

enum class Resolution { Found, Unknown, Ambiguous };

// A name as the parser reads it: a catalogue name in exactly this letter case, else an alias in
// exactly this case, else the one catalogue name or alias that matches without regard to case.
// Ambiguous when several do (or when the name is one that means different things to different
// people, such as "lb").
Resolution Resolve(std::string_view name, Meaning& meaning);

// The second line of the message for a quantity text that does not read, naming what failed:
// `no unit "fx" — did you mean ft?`, `character "§" (U+00A7) is not part of a unit`. Empty when
// nothing more than the first line can be said.
std::string DescribeProblem(std::string_view quantityText);
// The whole message for a quantity text whose number lies beyond the double range, or empty when
// it does not.
std::string OutOfRangeMessage(std::string_view quantityText);

// A message of several lines on one line, as the command line writes it: "first: second", with a
// trailing " — did you mean X?" written " (did you mean X?)".
std::string OneLineMessage(std::string_view message);

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

struct AliasInfo {
    const char* name;
    const char* meaning; // a unit text; nullptr for an ambiguous name
    const char* note;    // what it is, or, for an ambiguous name, the names to use instead
};
// What a catalogue name of the numbered slots stands for ("foot"), or "".
const char* CatalogueNote(std::string_view name);

// The alias table, in its own order.
const std::vector<AliasInfo>& Aliases();

} // namespace unitnames
