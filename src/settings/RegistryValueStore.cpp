#include "settings/RegistryValueStore.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>
#include <vector>

#include "storage/WinText.h"

std::optional<std::string> RegistryValueStore::Read(const std::string& name) const {
    const std::wstring key = wintext::WidePath(key_);
    const std::wstring value = wintext::WidePath(name);
    const DWORD kinds =
        RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND | RRF_RT_REG_DWORD | RRF_RT_REG_QWORD;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), kinds, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    // A value that grows between the two calls is read again.
    std::vector<BYTE> data;
    LSTATUS status;
    do {
        data.resize(size + sizeof(wchar_t));
        size = static_cast<DWORD>(data.size());
        status =
            ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), kinds, &type, data.data(), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return std::nullopt;
    if (type == REG_DWORD) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        return std::to_string(number);
    }
    if (type == REG_QWORD) {
        unsigned long long number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        return std::to_string(number);
    }
    // size counts the closing null, which RegGetValueW guarantees.
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    if (text.rfind(L"@@", 0) == 0) text.erase(0, 1);
    return wintext::Utf8(text);
}

void RegistryValueStore::Write(const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, wintext::WidePath(key_).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    std::wstring text = wintext::WidePath(value);
    if (!text.empty() && text.front() == L'@') text.insert(0, 1, L'@');
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    ::RegSetValueExW(key, wintext::WidePath(name).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    ::RegCloseKey(key);
}
