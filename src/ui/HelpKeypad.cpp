#include "ui/HelpKeypad.h"

#include <vector>

#include "calc/Commands.h"

namespace {

// The rows of one of the help's tables, in the command table's order.
std::string TableRows(HelpGroup group) {
    std::string rows;
    for (const CommandInfo& info : CommandTable())
        if (info.help.group == group && !info.help.keys.empty())
            rows.append("<tr><td>")
                .append(info.help.keys)
                .append("</td><td>")
                .append(info.help.text)
                .append("</td></tr>\n");
    return rows;
}

// The 2nd functions' phrases as one list: "a, b, and c".
std::string SecondFunctions() {
    std::vector<std::string_view> phrases;
    for (const CommandInfo& info : CommandTable())
        if (info.help.group == HelpGroup::SecondFunctions && !info.help.keys.empty())
            phrases.push_back(info.help.keys);
    std::string list;
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        if (i > 0) list += phrases.size() == 2 ? " " : ", ";
        if (i > 0 && i + 1 == phrases.size()) list += "and ";
        list.append(phrases[i]);
    }
    return list;
}

std::string Keywords() {
    std::string keywords;
    for (const CommandInfo& info : CommandTable()) {
        if (info.help.keywords.empty()) continue;
        if (!keywords.empty()) keywords += ", ";
        keywords.append(info.help.keywords);
    }
    return keywords;
}

void Fill(std::string& page, std::string_view mark, const std::string& text) {
    for (auto at = page.find(mark); at != std::string::npos; at = page.find(mark, at + text.size()))
        page.replace(at, mark.size(), text);
}

} // namespace

namespace helppage {

std::string KeypadHtml(std::string_view page) {
    std::string html(page);
    Fill(html, "{{keywords}}", Keywords());
    Fill(html, "{{entry-keys}}", TableRows(HelpGroup::EntryKeys));
    Fill(html, "{{operations}}", TableRows(HelpGroup::Operations));
    Fill(html, "{{second-functions}}", SecondFunctions());
    return html;
}

} // namespace helppage
