#include "installer/ArchiveEntryName.h"

#include "sysutil/Exceptions.h"

#include <array>
#include <string_view>

namespace {

// NTFS and FAT refuse longer components.
constexpr size_t MaxComponentLength = 255;

bool IsSeparator(wchar_t C) {
    return C == L'/' || C == L'\\';
}

bool IsControl(wchar_t C) {
    return C < 0x20 || C == 0x7F;
}

// The quoted name in a message shows control characters as '?', so that the message stays readable.
std::wstring Printable(const std::wstring& Name) {
    std::wstring text = Name;
    for (wchar_t& c : text) {
        if (IsControl(c)) {
            c = L'?';
        }
    }
    return text;
}

[[noreturn]] void Refuse(const std::wstring& Name, const std::wstring& Reason) {
    throw EError(L"The archive entry '" + Printable(Name) + L"' " + Reason);
}

wchar_t AsciiUpper(wchar_t C) {
    return (C >= L'a' && C <= L'z') ? static_cast<wchar_t>(C - L'a' + L'A') : C;
}

bool EqualsIgnoringAsciiCase(std::wstring_view A, std::wstring_view B) {
    if (A.size() != B.size()) {
        return false;
    }
    for (size_t i = 0; i < A.size(); ++i) {
        if (AsciiUpper(A[i]) != AsciiUpper(B[i])) {
            return false;
        }
    }
    return true;
}

// Windows opens a device for these names whatever the folder, also with an extension
// ("NUL.txt") and with blanks before the extension ("CON .log").
bool IsReservedDeviceName(std::wstring_view Component) {
    std::wstring_view base = Component.substr(0, Component.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.remove_suffix(1);
    }
    static constexpr std::array<std::wstring_view, 6> plain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (std::wstring_view name : plain) {
        if (EqualsIgnoringAsciiCase(base, name)) {
            return true;
        }
    }
    if (base.size() != 4 ||
        !(EqualsIgnoringAsciiCase(base.substr(0, 3), L"COM") || EqualsIgnoringAsciiCase(base.substr(0, 3), L"LPT"))) {
        return false;
    }
    const wchar_t digit = base[3];
    // The superscript digits one to three count as well.
    return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

void CheckComponent(const std::wstring& Name, std::wstring_view Component) {
    if (Component.empty()) {
        Refuse(Name, L"has an empty folder name.");
    }
    if (Component == L"." || Component == L"..") {
        Refuse(Name, L"has the relative path component '" + std::wstring(Component) +
                         L"', which could lead outside the target folder.");
    }
    if (Component.back() == L'.' || Component.back() == L' ') {
        Refuse(Name, L"has the name '" + std::wstring(Component) +
                         L"', which ends in a dot or blank that Windows would drop.");
    }
    if (Component.size() > MaxComponentLength) {
        Refuse(Name, L"has a name longer than " + std::to_wstring(MaxComponentLength) + L" characters.");
    }
    if (IsReservedDeviceName(Component)) {
        Refuse(Name, L"uses the reserved device name '" + std::wstring(Component) + L"'.");
    }
}

} // namespace

TArchiveEntryName CheckArchiveEntryName(const std::wstring& Name) {
    if (Name.empty()) {
        Refuse(Name, L"has an empty name.");
    }
    // A leading separator makes the name absolute; it also starts every UNC and device path.
    if (IsSeparator(Name.front())) {
        Refuse(Name, L"is an absolute path.");
    }
    for (wchar_t c : Name) {
        if (IsControl(c)) {
            Refuse(Name, L"contains a control character.");
        }
        if (c == L':') {
            Refuse(Name, L"names a drive or an alternate data stream (':').");
        }
        if (std::wstring_view(L"<>\"|?*").find(c) != std::wstring_view::npos) {
            Refuse(Name, std::wstring(L"contains the character '") + c + L"', which a file name cannot hold.");
        }
    }

    TArchiveEntryName result;
    std::wstring_view rest = Name;
    if (IsSeparator(rest.back())) {
        result.IsFolder = true;
        rest.remove_suffix(1);
    }
    result.RelativePath.reserve(rest.size());
    while (true) {
        const size_t end = rest.find_first_of(L"/\\");
        const std::wstring_view component = rest.substr(0, end);
        CheckComponent(Name, component);
        result.RelativePath.append(component);
        if (end == std::wstring_view::npos) {
            break;
        }
        result.RelativePath += L'\\';
        rest.remove_prefix(end + 1);
    }
    return result;
}

TArchiveEntryName CheckArchiveEntryName(const std::wstring& Name, std::string_view StoredName) {
    for (const char c : StoredName) {
        if (IsControl(static_cast<unsigned char>(c))) {
            Refuse(Name, L"contains a control character.");
        }
    }
    return CheckArchiveEntryName(Name);
}
