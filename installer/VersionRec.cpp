#include "installer/VersionRec.h"

#include "sysutil/Exceptions.h"

#include <vector>

namespace {

wchar_t ChooseSeparator(const std::wstring& Text) {
    for (wchar_t candidate : {L'.', L',', L'-'}) {
        if (Text.find(candidate) != std::wstring::npos) {
            return candidate;
        }
    }
    return L'\0';
}

std::vector<std::wstring> SplitParts(const std::wstring& Text, wchar_t Separator) {
    std::vector<std::wstring> parts;
    if (Text.empty()) {
        return parts;
    }
    if (Separator == L'\0') {
        parts.push_back(Text);
        return parts;
    }
    size_t start = 0;
    for (;;) {
        const size_t end = Text.find(Separator, start);
        parts.push_back(Text.substr(start, end - start));
        if (end == std::wstring::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// A part is a decimal number that fits the unsigned 32-bit field, and nothing else.
uint32_t ReadNumber(const std::wstring& Part, const std::wstring& Whole) {
    uint64_t value = 0;
    for (wchar_t c : Part) {
        value = value * 10 + static_cast<uint64_t>(c - L'0');
        if (c < L'0' || c > L'9' || value > UINT32_MAX) {
            throw EConvertError(L"'" + Part + L"' is not a valid number in the version '" + Whole + L"'");
        }
    }
    if (Part.empty()) {
        throw EConvertError(L"The version '" + Whole + L"' has an empty part");
    }
    return static_cast<uint32_t>(value);
}

} // namespace

void TVersionRec::Clear() { Major = Minor = Maintenance = Build = 0; }

void TVersionRec::Parse(const std::wstring& From) {
    const std::vector<std::wstring> parts = SplitParts(From, ChooseSeparator(From));
    Clear();
    uint32_t* const fields[] = {&Major, &Minor, &Maintenance, &Build};
    for (size_t i = 0; i < parts.size(); ++i) {
        const uint32_t value = ReadNumber(parts[i], From);
        if (i < 4) {
            *fields[i] = value;
        }
    }
}

TRelation TVersionRec::CompareTo(const TVersionRec& Version) const {
    const uint32_t mine[] = {Major, Minor, Maintenance, Build};
    const uint32_t theirs[] = {Version.Major, Version.Minor, Version.Maintenance, Version.Build};
    for (int i = 0; i < 4; ++i) {
        if (mine[i] != theirs[i]) {
            return mine[i] > theirs[i] ? TRelation::Bigger : TRelation::Smaller;
        }
    }
    return TRelation::Equal;
}

std::wstring TVersionRec::ToString(wchar_t Separator, bool IncludeBuild) const {
    std::wstring text = std::to_wstring(Major) + Separator + std::to_wstring(Minor) + Separator +
                        std::to_wstring(Maintenance);
    if (IncludeBuild) {
        text += Separator + std::to_wstring(Build);
    }
    return text;
}
