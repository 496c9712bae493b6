// korbcalc-cli units [TEXT]: the unit names a text may use, for looking one up.
#pragma once

#include <string>
#include <vector>

class Output;

// True for the entries "units" and "units TEXT" alone on the command line: a question about the
// names, not an entry to run ("units U" among other entries still gives the shown value units).
bool AsksForUnitNames(const std::vector<std::string>& entries);

// Writes the names whose name or meaning contains TEXT (all for none), one a line: the name, what
// it is, the kind of quantity, and the value of one in base units. The exit status: 0, or 1 when no
// name matches.
int WriteUnitNames(Output& out, Output& errors, const std::vector<std::string>& entries);
