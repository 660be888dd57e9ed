// Conversions between the program's UTF-16 text and UTF-8 (archive names, diagnostics).
#pragma once

#include <string>
#include <string_view>

std::string WideToUtf8(std::wstring_view Text);
// Invalid UTF-8 sequences become U+FFFD; the conversion never fails.
std::wstring Utf8ToWide(std::string_view Text);
