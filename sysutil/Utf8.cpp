#include "sysutil/Utf8.h"

#include <windows.h>

std::string WideToUtf8(std::wstring_view Text) {
    if (Text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::wstring Utf8ToWide(std::string_view Text) {
    if (Text.empty()) {
        return {};
    }
    const int size = MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), result.data(), size);
    return result;
}
