// The keypad's help topic: its prose is a page of the help, its keys' rows, the 2nd functions and
// the index keywords come from the command table, so that a key is described where it is declared.
#pragma once

#include <string>
#include <string_view>

namespace helppage {

constexpr const char* KeypadId = "keypad";

// The topic's page (UTF-8): the page's text with the marks {{keywords}}, {{entry-keys}},
// {{operations}} and {{second-functions}} filled in.
std::string KeypadHtml(std::string_view page);

} // namespace helppage
