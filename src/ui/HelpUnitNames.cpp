#include "ui/HelpUnitNames.h"

#include "units/NumberUnits.h"
#include "units/SiPrefixes.h"
#include "units/UnitNames.h"
#include "units/UnitNotes.h"

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

std::string Row(std::initializer_list<std::string> cells) {
    std::string row = "<tr>";
    for (const std::string& cell : cells) row += "<td>" + Escaped(cell) + "</td>";
    return row + "</tr>\n";
}

} // namespace

namespace helppage {

std::string UnitNamesHtml() {
    InitUnitTables();
    std::string html =
        "<html><head><title>Units: Every Name, Alias and Prefix</title>\n"
        "<meta name=\"keywords\" content=\"unit names, aliases, SI prefixes, prefixes, kilo, milli, micro, "
        "mph, kph, lb, typographic forms, superscripts, degree sign, ohm sign\"></head>\n<body>\n"
        "<h2>Units: every name, alias and prefix</h2>\n"
        "<p>This list is made from the unit catalogue the calculator reads, so it names exactly what may "
        "be typed. The same list, or the names matching a text, is written by "
        "<tt>korbcalc-cli units [TEXT]</tt>.</p>\n"
        "<h3>How names are read</h3>\n<ul>\n"
        "<li>A name written in exactly the catalogue's letter case is that unit: <i>mJ</i> is the "
        "millijoule, <i>MJ</i> the megajoule, <i>Nm</i> the newton metre, <i>nm</i> the nanometre.</li>\n"
        "<li>Otherwise the one name that matches without regard to case is taken (<i>kpa</i> is "
        "<i>KPa</i>); when several do (<i>mw</i>: <i>mW</i> or <i>MW</i>) the entry is refused and the "
        "message names them. <i>lb</i> is refused: write <i>lbm</i> or <i>lbf</i>.</li>\n"
        "<li>The one-letter aliases <i>s</i> and <i>h</i> are read only in small letters.</li>\n"
        "<li>Typographic forms read as their plain spelling: &micro; and &mu; as <i>u</i> (micro), "
        "&sup2; &sup3; &#x207B;&sup1; as <i>^2</i> <i>^3</i> <i>^-1</i>, &middot; and &times; as "
        "<i>*</i>, &deg;C and &deg;F as <i>C</i> and <i>F</i> (another &deg; as <i>deg</i>), &Omega; as "
        "<i>Ohm</i>. Values are shown with the catalogue's names.</li>\n"
        "<li>A character that belongs to no unit is refused and named in the message; blanks, "
        "<tt>! # % &amp; , @ ` ~</tt> and parentheses are skipped.</li>\n</ul>\n";

    html += "<h3>Prefixes</h3>\n<p>Every prefix below goes with each of these units:";
    for (const auto& unit : siprefix::PrefixableUnits) {
        html += std::string(" <i>") + unit.symbol + "</i>";
        if (unit.longName) html += std::string(" (or <i>") + unit.longName + "</i>)";
    }
    html += ". A prefixed name that was already a catalogue name keeps the catalogue's meaning "
            "(<i>mm</i>, <i>kg</i>, <i>min</i>, <i>mN</i> is <i>MN</i>).</p>\n<table border=\"1\" "
            "cellpadding=\"3\">\n";
    html += "<tr><th>Prefix</th><th>Name</th><th>Factor</th></tr>\n";
    for (const auto& prefix : siprefix::Prefixes)
        html += Row({prefix.symbol, prefix.name, "1e" + std::to_string(prefix.power)});
    html += "</table>\n";

    html += "<h3>Names</h3>\n<table border=\"1\" cellpadding=\"3\">\n"
            "<tr><th>Name</th><th>What it is</th><th>Kind</th><th>One of it in base units</th></tr>\n";
    std::string aliases;
    for (const auto& row : unitnames::AllNames()) {
        const std::string factor = row.factor.empty() ? (row.alias ? "" : "by its own rule") : row.factor;
        (row.alias ? aliases : html) += Row({row.name, row.meaning, row.kind, factor});
    }
    html += "</table>\n<h3>Aliases and other spellings</h3>\n<table border=\"1\" cellpadding=\"3\">\n"
            "<tr><th>Name</th><th>What it is</th><th>Kind</th><th>One of it in base units</th></tr>\n";
    html += aliases + "</table>\n</body></html>\n";
    return html;
}

} // namespace helppage
