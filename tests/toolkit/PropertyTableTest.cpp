#include "sysutil/Exceptions.h"
#include "sysutil/Utf8.h"
#include "toolkit/Persistent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class TShade : uint8_t { Light, Dark, Auto };

// Two small classes with some properties in common. Every setter logs its name, so a test sees
// which setters ran and in which order.
class TLogged : public TPersistent {
public:
    std::vector<std::wstring> Log;
};

class TSource : public TLogged {
public:
    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    int32_t Width = 0;
    TColor Accent = 0;
    std::wstring Caption;
    TShade Shade = TShade::Light;
    bool Visible = false;
    double Ratio = 0;
    TNotifyEvent OnChange;
    int32_t SourceOnly = 0;
    int32_t Kind = 0; // an integer here, a string on the target
};

class TTarget : public TLogged {
public:
    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    int16_t Width = 0; // narrower than the source's
    TColor Accent = 0;
    std::wstring Caption;
    TShade Shade = TShade::Light;
    bool Visible = false;
    TNotifyEvent OnChange;
    int32_t TargetOnly = 0;
    std::wstring Kind;
    TPersistent* Partner = nullptr;
    int32_t Version = 7;
};

// A derived class: inherits the target's table and replaces one entry.
class TDerivedTarget : public TTarget {
public:
    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }
    int32_t Extra = 0;
};

template <typename T, typename V> auto Logged(const wchar_t* Name, V T::*Field) {
    return [Name, Field](T& Object, V Value) {
        Object.Log.push_back(Name);
        Object.*Field = Value;
    };
}

template <typename T, typename V> auto Read(V T::*Field) {
    return [Field](const T& Object) { return Object.*Field; };
}

const TPropertyTable& TSource::StaticProperties() {
    // Registered out of order on purpose: the table sorts.
    static const TPropertyTable Table =
        TPropertyTableBuilder<TSource>(L"TSource", &TPersistent::StaticProperties())
            .Integer(L"Width", Read(&TSource::Width), Logged(L"Width", &TSource::Width))
            .Color(L"Accent", Read(&TSource::Accent), Logged(L"Accent", &TSource::Accent))
            .Event(L"OnChange", Read(&TSource::OnChange), Logged(L"OnChange", &TSource::OnChange))
            .String(L"Caption", Read(&TSource::Caption), Logged(L"Caption", &TSource::Caption))
            .Enum(L"Shade", {L"Light", L"Dark", L"Auto"}, Read(&TSource::Shade), Logged(L"Shade", &TSource::Shade))
            .Bool(L"visible", Read(&TSource::Visible), Logged(L"visible", &TSource::Visible))
            .Float(L"Ratio", Read(&TSource::Ratio), Logged(L"Ratio", &TSource::Ratio))
            .Integer(L"SourceOnly", Read(&TSource::SourceOnly), Logged(L"SourceOnly", &TSource::SourceOnly))
            .Integer(L"Kind", Read(&TSource::Kind), Logged(L"Kind", &TSource::Kind))
            .Build();
    return Table;
}

const TPropertyTable& TTarget::StaticProperties() {
    static const TPropertyTable Table =
        TPropertyTableBuilder<TTarget>(L"TTarget", &TPersistent::StaticProperties())
            .Bool(L"Visible", Read(&TTarget::Visible), Logged(L"Visible", &TTarget::Visible))
            .Integer(L"Width", Read(&TTarget::Width), Logged(L"Width", &TTarget::Width))
            .Color(L"Accent", Read(&TTarget::Accent), Logged(L"Accent", &TTarget::Accent))
            .String(L"Caption", Read(&TTarget::Caption), Logged(L"Caption", &TTarget::Caption))
            .Enum(L"Shade", {L"Light", L"Dark", L"Auto"}, Read(&TTarget::Shade), Logged(L"Shade", &TTarget::Shade))
            .Event(L"OnChange", Read(&TTarget::OnChange), Logged(L"OnChange", &TTarget::OnChange))
            .Integer(L"TargetOnly", Read(&TTarget::TargetOnly), Logged(L"TargetOnly", &TTarget::TargetOnly))
            .String(L"Kind", Read(&TTarget::Kind), Logged(L"Kind", &TTarget::Kind))
            .Object(L"Partner", Read(&TTarget::Partner), Logged(L"Partner", &TTarget::Partner))
            .Integer(L"Version", Read(&TTarget::Version), nullptr)
            .Build();
    return Table;
}

const TPropertyTable& TDerivedTarget::StaticProperties() {
    static const TPropertyTable Table =
        TPropertyTableBuilder<TDerivedTarget>(L"TDerivedTarget", &TTarget::StaticProperties())
            .Integer(L"Extra", Read(&TDerivedTarget::Extra), Logged(L"Extra", &TDerivedTarget::Extra))
            .Bool(L"VISIBLE", Read(&TDerivedTarget::Visible), nullptr) // read-only here
            .Build();
    return Table;
}

// A target whose object property takes only sources.
class TSourceHolder : public TPersistent {
public:
    static const TPropertyTable& StaticProperties() {
        static const TPropertyTable Table =
            TPropertyTableBuilder<TSourceHolder>(L"TSourceHolder", &TPersistent::StaticProperties())
                .Object(
                    L"Source", [](const TSourceHolder& Holder) { return Holder.Source; },
                    [](TSourceHolder& Holder, TSource* Value) { Holder.Source = Value; })
                .Build();
        return Table;
    }
    const TPropertyTable& Properties() const override { return StaticProperties(); }
    TSource* Source = nullptr;
};

// The by-name copy is protected; a class opts into it through its Assign, as the framework's do.
class TCopyingTarget : public TTarget {
public:
    void Assign(const TPersistent& Source) override { AssignProperties(Source); }
};

TEST(PropertyTable, ReadsAndWritesEveryKindByName) {
    TTarget target;
    TSource partner;
    int calls = 0;
    target.SetProperty(L"width", TPropertyValue::Integer(140));
    target.SetProperty(L"Accent", TPropertyValue::Color(0xD47800));
    target.SetProperty(L"CAPTION", TPropertyValue::String(L"Next"));
    target.SetProperty(L"Shade", TPropertyValue::Enum(2));
    target.SetProperty(L"Visible", TPropertyValue::Bool(true));
    target.SetProperty(L"Partner", TPropertyValue::Object(&partner));
    target.SetProperty(L"OnChange", TPropertyValue::Event(TNotifyEvent([&calls](TPersistent*) { ++calls; })));

    EXPECT_EQ(target.Width, 140);
    EXPECT_EQ(target.Accent, 0xD47800);
    EXPECT_EQ(target.Caption, L"Next");
    EXPECT_EQ(target.Shade, TShade::Auto);
    EXPECT_TRUE(target.Visible);
    EXPECT_EQ(target.Partner, &partner);
    ASSERT_TRUE(target.OnChange);
    target.OnChange(&target);
    EXPECT_EQ(calls, 1);

    EXPECT_EQ(target.GetProperty(L"Width"), TPropertyValue::Integer(140));
    EXPECT_EQ(target.GetProperty(L"Accent"), TPropertyValue::Color(0xD47800));
    EXPECT_EQ(target.GetProperty(L"Caption"), TPropertyValue::String(L"Next"));
    EXPECT_EQ(target.GetProperty(L"Shade"), TPropertyValue::Enum(2));
    EXPECT_EQ(target.GetProperty(L"Visible"), TPropertyValue::Bool(true));
    EXPECT_EQ(target.GetProperty(L"Partner").AsObject(), &partner);
    EXPECT_EQ(target.GetProperty(L"Version"), TPropertyValue::Integer(7));
    EXPECT_EQ(target.Properties().Find(L"Shade")->EnumOrdinal(L"dark"), 1);
    EXPECT_EQ(target.Properties().Find(L"Shade")->EnumOrdinal(L"Dim"), -1);
    EXPECT_EQ(target.Log, (std::vector<std::wstring>{L"Width", L"Accent", L"Caption", L"Shade", L"Visible", L"Partner",
                                                     L"OnChange"}))
        << "every write goes through the class's setter";
}

TEST(PropertyTable, RefusesWhatTheTargetCannotHold) {
    TTarget target;
    TSourceHolder holder;
    TTarget notASource;
    struct Case {
        TPersistent* Object;
        const wchar_t* Name;
        TPropertyValue Value;
        const char* Expected;
    };
    const Case cases[] = {
        {&target, L"Missing", TPropertyValue::Integer(1), "EPropertyError"},
        {&target, L"Version", TPropertyValue::Integer(8), "EPropertyError"},
        {&target, L"Width", TPropertyValue::String(L"140"), "EConvertError"},
        {&target, L"Accent", TPropertyValue::Integer(0xD47800), "EConvertError"},
        {&target, L"Width", TPropertyValue::Integer(40000), "ERangeError"},
        {&target, L"Shade", TPropertyValue::Enum(3), "ERangeError"},
        {&target, L"Shade", TPropertyValue::Enum(-1), "ERangeError"},
        {&target, L"OnChange", TPropertyValue::Event(std::function<void()>([] {})), "EConvertError"},
        {&holder, L"Source", TPropertyValue::Object(&notASource), "EConvertError"},
    };
    for (const Case& c : cases) {
        const char* raised = "nothing";
        try {
            c.Object->SetProperty(c.Name, c.Value);
        } catch (const EPropertyError&) {
            raised = "EPropertyError";
        } catch (const EConvertError&) {
            raised = "EConvertError";
        } catch (const ERangeError&) {
            raised = "ERangeError";
        }
        EXPECT_STREQ(raised, c.Expected) << "setting " << WideToUtf8(c.Name);
    }
    EXPECT_EQ(target.Width, 0);
    EXPECT_EQ(target.Shade, TShade::Light);
    EXPECT_EQ(target.Version, 7);
    EXPECT_EQ(holder.Source, nullptr);
    EXPECT_THROW(target.GetProperty(L"Missing"), EPropertyError);

    holder.SetProperty(L"Source", TPropertyValue::Object(nullptr));
    EXPECT_EQ(holder.Source, nullptr) << "an empty reference is always accepted";
}

TEST(PropertyTable, DerivedTableInheritsAndReplacesByName) {
    const TPropertyTable& table = TDerivedTarget::StaticProperties();
    EXPECT_EQ(table.ClassName(), L"TDerivedTarget");
    EXPECT_TRUE(table.InheritsFrom(TTarget::StaticProperties()));
    EXPECT_FALSE(TTarget::StaticProperties().InheritsFrom(table));

    std::vector<std::wstring> names;
    for (const TPropertyInfo* info : table.Sorted()) {
        names.push_back(info->Name);
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Accent", L"Caption", L"Extra", L"Kind", L"OnChange", L"Partner",
                                                L"Shade", L"TargetOnly", L"Version", L"VISIBLE", L"Width"}));

    TDerivedTarget derived;
    derived.SetProperty(L"Width", TPropertyValue::Integer(5));
    EXPECT_EQ(derived.Width, 5) << "inherited setters reach the derived object";
    EXPECT_THROW(derived.SetProperty(L"Visible", TPropertyValue::Bool(true)), EPropertyError)
        << "the derived entry replaces the inherited one";
}

TEST(PropertyTable, AssignCopiesCommonPropertiesInAlphabeticalOrderThroughSetters) {
    TSource source;
    source.Width = 90;
    source.Accent = 0x123456;
    source.Caption = L"Install";
    source.Shade = TShade::Dark;
    source.Visible = true;
    source.Ratio = 0.5;
    source.OnChange = [](TPersistent*) {};
    source.SourceOnly = 3;
    source.Kind = 4;

    TCopyingTarget target;
    target.TargetOnly = 11;
    target.Assign(source);

    // Kind differs in kind and is skipped, OnChange is an event, Version is read-only,
    // Ratio and SourceOnly are missing on the target.
    EXPECT_EQ(target.Log, (std::vector<std::wstring>{L"Accent", L"Caption", L"Shade", L"Visible", L"Width"}));
    EXPECT_EQ(target.Width, 90);
    EXPECT_EQ(target.Accent, 0x123456);
    EXPECT_EQ(target.Caption, L"Install");
    EXPECT_EQ(target.Shade, TShade::Dark);
    EXPECT_TRUE(target.Visible);
    EXPECT_FALSE(target.OnChange) << "events are not copied";
    EXPECT_EQ(target.TargetOnly, 11);
    EXPECT_TRUE(target.Kind.empty());
    EXPECT_TRUE(source.Log.empty()) << "the source is only read";
}

TEST(PropertyTable, AssignStopsAtAValueTheTargetCannotHold) {
    TSource source;
    source.Accent = 1;
    source.Width = 70000; // more than the target's 16 bits
    TCopyingTarget target;
    EXPECT_THROW(target.Assign(source), ERangeError);
    EXPECT_EQ(target.Accent, 1) << "properties before it in name order were copied";
    EXPECT_EQ(target.Width, 0);
}

TEST(PropertyTable, GenericAssignRefusesUnrelatedClasses) {
    TSource source;
    TTarget target;
    try {
        target.Assign(source);
        FAIL() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), L"Cannot assign a TSource to a TTarget.");
    }
}

} // namespace
