// The names a unit text may use beyond the catalogue's own (aliases such as "s", "feet", "mph"),
// how a name is resolved, and the words that explain a text that does not read.
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

struct AliasInfo {
    const char* name;
    const char* meaning; // a unit text; nullptr for an ambiguous name
    const char* note;    // what it is, or, for an ambiguous name, the names to use instead
};
// The alias table, in its own order.
const std::vector<AliasInfo>& Aliases();

} // namespace unitnames
