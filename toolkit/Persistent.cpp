#include "toolkit/Persistent.h"

#include "sysutil/Exceptions.h"

const TPropertyTable& TPersistent::StaticProperties() {
    static const TPropertyTable Table(L"TPersistent", nullptr, {});
    return Table;
}

namespace {

const TPropertyInfo& FindOrRaise(const TPersistent& Object, std::wstring_view Name) {
    const TPropertyInfo* info = Object.Properties().Find(Name);
    if (info == nullptr) {
        throw EPropertyError(L"Property " + std::wstring(Name) + L" does not exist on " + Object.ClassName() + L".");
    }
    return *info;
}

} // namespace

TPropertyValue TPersistent::GetProperty(std::wstring_view Name) const {
    return FindOrRaise(*this, Name).Get(*this);
}

void TPersistent::SetProperty(std::wstring_view Name, const TPropertyValue& Value) {
    const TPropertyInfo& info = FindOrRaise(*this, Name);
    if (info.ReadOnly()) {
        throw EPropertyError(L"Property " + info.Name + L" of " + ClassName() + L" is read-only.");
    }
    info.Set(*this, Value);
}

void TPersistent::Assign(const TPersistent& Source) {
    Source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& Dest) const {
    throw EConvertError(L"Cannot assign a " + ClassName() + L" to a " + Dest.ClassName() + L".");
}

void TPersistent::AssignProperties(const TPersistent& Source) {
    for (const TPropertyInfo* from : Source.Properties().Sorted()) {
        if (from->Kind == TPropertyKind::Event) {
            continue;
        }
        const TPropertyInfo* to = Properties().Find(from->Name);
        if (to == nullptr || to->ReadOnly() || to->Kind != from->Kind) {
            continue;
        }
        to->Set(*this, from->Get(Source));
    }
}
