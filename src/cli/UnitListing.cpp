#include "cli/UnitListing.h"

#include "cli/Output.h"
#include "settings/TextTrim.h"
#include "units/NumberUnits.h"
#include "units/UnitNotes.h"

#include <algorithm>

namespace {

std::string Lower(std::string text) {
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}

// The text and blanks up to two past the column's width.
void Padded(std::string& line, const std::string& text, std::size_t width) {
    line += text;
    line.append(width + 2 - text.size(), ' ');
}

} // namespace

bool AsksForUnitNames(const std::vector<std::string>& entries) {
    if (entries.empty() || entries.size() > 2) return false;
    const std::string first = Lower(entries[0]);
    return first == "units" || (entries.size() == 1 && first.rfind("units ", 0) == 0);
}

int WriteUnitNames(Output& out, Output& errors, const std::vector<std::string>& entries) {
    InitUnitTables();
    const std::string text(Trim(entries.size() == 2 ? entries[1] : entries[0].substr(5), Spaces::Blanks));
    const auto rows = unitnames::MatchingNames(text);
    if (rows.empty()) {
        errors << "korbcalc-cli: no unit name or meaning contains \"" << text << "\"\n";
        return 1;
    }
    std::size_t nameWidth = 0, meaningWidth = 0, kindWidth = 0;
    for (const auto& row : rows) {
        nameWidth = std::max(nameWidth, row.name.size());
        meaningWidth = std::max(meaningWidth, row.meaning.size());
        kindWidth = std::max({kindWidth, row.kind.size(), std::size_t{1}}); // "-" for none
    }
    for (const auto& row : rows) {
        std::string line;
        Padded(line, row.name, nameWidth);
        Padded(line, row.meaning, meaningWidth);
        Padded(line, row.kind.empty() ? "-" : row.kind, kindWidth);
        if (!row.factor.empty())
            line += "1 = " + row.factor;
        else
            line += row.alias ? "-" : "converts by its own rule";
        out << line << '\n';
    }
    return 0;
}
