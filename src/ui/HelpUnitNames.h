// The help topic that lists every unit name, alias and prefix, made from the catalogue itself so
// that it always tells what the calculator reads.
#pragma once

#include <string>

namespace helppage {

constexpr const char* UnitNamesId = "unitnames";

// The topic's HTML page (UTF-8), with its title and index keywords as the other topics have them.
std::string UnitNamesHtml();

} // namespace helppage
