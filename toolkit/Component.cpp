#include "toolkit/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) {
        AOwner->InsertComponent(this);
    }
}

TComponent::~TComponent() {
    DestroyComponents();
    if (FOwner != nullptr) {
        FOwner->RemoveComponent(this);
    }
}

const TPropertyTable& TComponent::StaticProperties() {
    static const TPropertyTable Table =
        TPropertyTableBuilder<TComponent>(L"TComponent", &TPersistent::StaticProperties())
            .String(L"Name", &TComponent::Name, &TComponent::SetName)
            .Integer(L"Tag", &TComponent::Tag, &TComponent::SetTag)
            .Build();
    return Table;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        RemoveComponent(last);
        delete last;
    }
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) {
        throw ERangeError(L"Component index " + std::to_wstring(Index) + L" is out of range.");
    }
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (FOwner == nullptr) {
        return -1;
    }
    const auto& list = FOwner->FComponents;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(std::wstring_view AName) const {
    if (AName.empty()) {
        return nullptr;
    }
    for (TComponent* component : FComponents) {
        if (ComparePropertyNames(component->FName, AName) == 0) {
            return component;
        }
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent->FOwner == this) {
        return;
    }
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName) != nullptr) {
        throw EComponentError(L"A component named " + AComponent->FName + L" already exists.");
    }
    if (AComponent->FOwner != nullptr) {
        AComponent->FOwner->RemoveComponent(AComponent);
    }
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    const auto found = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (found != FComponents.end()) {
        FComponents.erase(found);
        AComponent->FOwner = nullptr;
    }
}

namespace {

bool IsIdentifierStart(wchar_t C) {
    return (C >= L'A' && C <= L'Z') || (C >= L'a' && C <= L'z') || C == L'_';
}

bool IsIdentifier(const std::wstring& Text) {
    if (Text.empty() || !IsIdentifierStart(Text[0])) {
        return false;
    }
    return std::all_of(Text.begin(), Text.end(),
                       [](wchar_t C) { return IsIdentifierStart(C) || (C >= L'0' && C <= L'9'); });
}

} // namespace

void TComponent::SetName(const std::wstring& Value) {
    if (Value == FName) {
        return;
    }
    if (!Value.empty() && !IsIdentifier(Value)) {
        throw EComponentError(L"\"" + Value + L"\" is not a valid component name.");
    }
    if (FOwner != nullptr && !Value.empty()) {
        TComponent* other = FOwner->FindComponent(Value);
        if (other != nullptr && other != this) {
            throw EComponentError(L"A component named " + Value + L" already exists.");
        }
    }
    FName = Value;
}

void TComponent::EndLoading() {
    FLoading = false;
    Loaded();
}
