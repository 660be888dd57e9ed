// A four-part product version: parsed from dotted text, compared field by field, formatted.
#pragma once

#include <cstdint>
#include <string>

enum class TRelation : uint8_t { Smaller, Equal, Bigger };

struct TVersionRec {
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Maintenance = 0;
    uint32_t Build = 0;

    TVersionRec() = default;
    TVersionRec(uint32_t AMajor, uint32_t AMinor, uint32_t AMaintenance, uint32_t ABuild)
        : Major(AMajor), Minor(AMinor), Maintenance(AMaintenance), Build(ABuild) {}

    void Clear();
    // Raises EConvertError for a part that is not a number; the parts read before it stay.
    void Parse(const std::wstring& From);
    TRelation CompareTo(const TVersionRec& Version) const;
    bool NewerThan(const TVersionRec& Version) const { return CompareTo(Version) == TRelation::Bigger; }
    std::wstring ToString(wchar_t Separator, bool IncludeBuild) const;
    std::wstring ToString(bool IncludeBuild) const { return ToString(L'.', IncludeBuild); }
    std::wstring ToString() const { return ToString(L'.', false); }
};
