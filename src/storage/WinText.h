// Text conversions at the Win32 API boundary (Windows builds only).
#pragma once

#include <string>

namespace wintext {

// A file name for the wide-character API: the text read as UTF-8, or in the ANSI code page when
// it is not valid UTF-8.
std::wstring WidePath(const std::string& name);

// UTF-16 form of a UTF-8 text; bytes that are not UTF-8 become U+FFFD.
std::wstring Wide(const std::string& text);

// UTF-8 form of a wide text.
std::string Utf8(const std::wstring& text);

// The system's message for a Win32 error code, in UTF-8, without a final full stop.
std::string ErrorText(unsigned long error);

} // namespace wintext
