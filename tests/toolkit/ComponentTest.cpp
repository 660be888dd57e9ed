#include "toolkit/Component.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records its own destruction, and whether its owner's list still held it then.
class TTracked : public TComponent {
public:
    TTracked(TComponent* AOwner, std::wstring AName, std::vector<std::wstring>& ALog) : TComponent(AOwner), FLog(ALog) {
        SetName(AName);
    }
    ~TTracked() override { FLog.push_back(Name()); }

private:
    std::vector<std::wstring>& FLog;
};

class TLoadable : public TComponent {
public:
    using TComponent::TComponent;
    int LoadedCalls = 0;
    bool LoadingSeenInLoaded = true;

protected:
    void Loaded() override {
        ++LoadedCalls;
        LoadingSeenInLoaded = Loading();
    }
};

TEST(Component, OwnerKeepsCreationOrderAndFreesLastFirst) {
    std::vector<std::wstring> freed;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* a = new TTracked(owner.get(), L"A", freed);
    auto* b = new TTracked(owner.get(), L"B", freed);
    auto* c = new TTracked(b, L"C", freed); // owned by b, not by the top owner
    auto* d = new TTracked(owner.get(), L"D", freed);

    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(owner->Components(1), b);
    EXPECT_EQ(owner->Components(2), d);
    EXPECT_EQ(d->ComponentIndex(), 2);
    EXPECT_EQ(c->ComponentIndex(), 0);
    EXPECT_EQ(owner->ComponentIndex(), -1);
    EXPECT_EQ(c->Owner(), b);
    EXPECT_THROW(owner->Components(3), ERangeError);
    EXPECT_THROW(owner->Components(-1), ERangeError);

    owner.reset();
    // B logs as its destructor begins, then frees C.
    EXPECT_EQ(freed, (std::vector<std::wstring>{L"D", L"B", L"C", L"A"}));
}

TEST(Component, FreedEarlyLeavesItsOwnersList) {
    std::vector<std::wstring> freed;
    TComponent owner(nullptr);
    auto* a = new TTracked(&owner, L"A", freed);
    auto* b = new TTracked(&owner, L"B", freed);
    auto* c = new TTracked(&owner, L"C", freed);
    delete b;
    ASSERT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(0), a);
    EXPECT_EQ(owner.Components(1), c);
    EXPECT_EQ(c->ComponentIndex(), 1);
    EXPECT_EQ(owner.FindComponent(L"B"), nullptr);
}

TEST(Component, OwnershipMovesAndCanBeGivenUp) {
    std::vector<std::wstring> freed;
    TComponent first(nullptr);
    {
        TComponent second(nullptr);
        auto* moved = new TTracked(&first, L"Moved", freed);
        second.InsertComponent(moved);
        EXPECT_EQ(first.ComponentCount(), 0);
        EXPECT_EQ(moved->Owner(), &second);

        auto* released = new TTracked(&second, L"Released", freed);
        second.RemoveComponent(released);
        EXPECT_EQ(released->Owner(), nullptr);
        std::unique_ptr<TTracked> holder(released); // the caller owns it now
    }
    EXPECT_EQ(freed, (std::vector<std::wstring>{L"Released", L"Moved"}));
}

TEST(Component, NamesAreIdentifiersUniqueAmongSiblings) {
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    first->SetName(L"Navigation_Next");
    auto* second = new TComponent(&owner);

    EXPECT_EQ(owner.FindComponent(L"navigation_next"), first) << "names compare without case";
    EXPECT_THROW(second->SetName(L"NAVIGATION_NEXT"), EComponentError);
    for (const wchar_t* bad : {L"1st", L"with space", L"dash-name", L"Umlaut\u00e4"}) {
        EXPECT_THROW(second->SetName(bad), EComponentError) << bad;
    }
    EXPECT_TRUE(second->Name().empty()) << "a refused name leaves the old one";
    second->SetName(L"_Page2");
    first->SetName(L"Navigation_Next"); // renaming to its own name is fine
    first->SetName(L"");
    EXPECT_EQ(owner.FindComponent(L""), nullptr) << "unnamed components are not found by the empty name";

    // A component cannot join an owner that already has its name.
    TComponent other(nullptr);
    auto* clash = new TComponent(&other);
    clash->SetName(L"_page2");
    EXPECT_THROW(owner.InsertComponent(clash), EComponentError);
    EXPECT_EQ(clash->Owner(), &other);
}

TEST(Component, NameAndTagAreProperties) {
    TComponent component(nullptr);
    component.SetProperty(L"name", TPropertyValue::String(L"Page_Welcome"));
    component.SetProperty(L"Tag", TPropertyValue::Integer(2));
    EXPECT_EQ(component.Name(), L"Page_Welcome");
    EXPECT_EQ(component.Tag(), 2);
    EXPECT_EQ(component.GetProperty(L"TAG"), TPropertyValue::Integer(2));
    EXPECT_THROW(component.SetProperty(L"Name", TPropertyValue::String(L"no good")), EComponentError);
}

TEST(Component, LoadingLastsUntilEndLoadingWhichCallsLoadedOnce) {
    TLoadable component(nullptr);
    EXPECT_FALSE(component.Loading());
    component.BeginLoading();
    EXPECT_TRUE(component.Loading());
    EXPECT_EQ(component.LoadedCalls, 0);
    component.EndLoading();
    EXPECT_FALSE(component.Loading());
    EXPECT_EQ(component.LoadedCalls, 1);
    EXPECT_FALSE(component.LoadingSeenInLoaded) << "Loaded runs after the flag is cleared";
}

} // namespace
