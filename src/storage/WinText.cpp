#include "storage/WinText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace wintext {

namespace {

std::wstring Widen(const std::string& text, UINT codePage, DWORD flags) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int wide = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring result(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), size, result.data(), wide);
    return result;
}

} // namespace

std::wstring WidePath(const std::string& name) {
    auto wide = Widen(name, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !name.empty()) wide = Widen(name, CP_ACP, 0);
    return wide;
}

std::wstring Wide(const std::string& text) {
    return Widen(text, CP_UTF8, 0);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string result(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::string ErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty()) return "system error " + std::to_string(error);
    return Utf8(text);
}

} // namespace wintext
