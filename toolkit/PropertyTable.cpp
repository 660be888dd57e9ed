#include "toolkit/PropertyTable.h"

#include "toolkit/Persistent.h"

#include <windows.h>

#include <algorithm>

int ComparePropertyNames(std::wstring_view A, std::wstring_view B) {
    return CompareStringOrdinal(A.data(), static_cast<int>(A.size()), B.data(), static_cast<int>(B.size()), TRUE) -
           CSTR_EQUAL;
}

int TPropertyInfo::EnumOrdinal(std::wstring_view MemberName) const {
    for (size_t i = 0; i < EnumNames.size(); ++i) {
        if (ComparePropertyNames(EnumNames[i], MemberName) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TPropertyTable::TPropertyTable(std::wstring ClassName, const TPropertyTable* Parent, std::vector<TPropertyInfo> Own)
    : FClassName(std::move(ClassName)), FParent(Parent), FOwn(std::move(Own)) {
    for (const TPropertyInfo& info : FOwn) {
        FSorted.push_back(&info);
    }
    if (FParent != nullptr) {
        for (const TPropertyInfo* inherited : FParent->Sorted()) {
            const bool replaced = std::any_of(FOwn.begin(), FOwn.end(), [inherited](const TPropertyInfo& own) {
                return ComparePropertyNames(own.Name, inherited->Name) == 0;
            });
            if (!replaced) {
                FSorted.push_back(inherited);
            }
        }
    }
    std::stable_sort(FSorted.begin(), FSorted.end(), [](const TPropertyInfo* A, const TPropertyInfo* B) {
        return ComparePropertyNames(A->Name, B->Name) < 0;
    });
}

const TPropertyInfo* TPropertyTable::Find(std::wstring_view Name) const {
    const auto found =
        std::lower_bound(FSorted.begin(), FSorted.end(), Name, [](const TPropertyInfo* Info, std::wstring_view Key) {
            return ComparePropertyNames(Info->Name, Key) < 0;
        });
    if (found != FSorted.end() && ComparePropertyNames((*found)->Name, Name) == 0) {
        return *found;
    }
    return nullptr;
}

bool TPropertyTable::InheritsFrom(const TPropertyTable& Ancestor) const noexcept {
    for (const TPropertyTable* table = this; table != nullptr; table = table->FParent) {
        if (table == &Ancestor) {
            return true;
        }
    }
    return false;
}

namespace PropertyDetail {

void OutOfRange(const std::wstring& Name, int64_t Value) {
    throw ERangeError(L"The value " + std::to_wstring(Value) + L" is out of range for the property " + Name + L".");
}

void WrongObject(const std::wstring& Name, const TPersistent* Value) {
    throw EConvertError(L"A " + Value->ClassName() + L" cannot be set as the property " + Name + L".");
}

void WrongHandler(const std::wstring& Name) {
    throw EConvertError(L"The handler does not match the event " + Name + L".");
}

} // namespace PropertyDetail
