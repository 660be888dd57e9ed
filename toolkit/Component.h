// A component: a persistent object with an owner, a name and a tag. The owner keeps the
// components it owns in creation order and frees them (last first) when it is destroyed; a
// component that is freed earlier leaves its owner's list. Components are created with new and
// given to their owner, or held in a std::unique_ptr when they have none.
#pragma once

#include "toolkit/Persistent.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A bad component name, or a name already used among the owner's components.
class EComponentError : public EError {
public:
    using EError::EError;
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    TComponent* Owner() const noexcept { return FOwner; }
    int ComponentCount() const noexcept { return static_cast<int>(FComponents.size()); }
    // The owned component at Index (creation order); ERangeError outside 0..ComponentCount-1.
    TComponent* Components(int Index) const;
    // The position in the owner's list, or -1 without owner.
    int ComponentIndex() const;
    // The owned component with that name (case-insensitive), or nullptr.
    TComponent* FindComponent(std::wstring_view AName) const;

    // Takes a component over from its current owner (or from no owner): it moves to the end of
    // this component's list. RemoveComponent gives it up; the caller then owns it.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    const std::wstring& Name() const noexcept { return FName; }
    // Empty, or a letter or underscore followed by letters, digits and underscores, unique
    // (case-insensitive) among the owner's components; otherwise EComponentError.
    void SetName(const std::wstring& Value);
    int64_t Tag() const noexcept { return FTag; }
    void SetTag(int64_t Value) { FTag = Value; }

    // Being read from a stored layout: setters that would re-theme, re-layout or raise events
    // check this and hold back until the layout has been read.
    bool Loading() const noexcept { return FLoading; }
    void BeginLoading() { FLoading = true; }
    // Ends the reading and lets the component react once (Loaded).
    void EndLoading();

protected:
    // Called by EndLoading after the flag is cleared.
    virtual void Loaded() {}
    // Frees the owned components, last first. A class whose owned components still use its
    // own members while they are freed calls this at the start of its destructor.
    void DestroyComponents();

private:
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::wstring FName;
    int64_t FTag = 0;
    bool FLoading = false;
};
