// The property table of a class: its published properties by name, each with a typed getter
// and a setter that goes through the class's own setter method. A class builds its table once
// (a function-local static) on top of its base class's table, so a derived class sees every
// inherited property and may replace one by using the same name. Names compare without regard
// to case. Assignment by property name and stored layouts both work through these tables.
//
//     const TPropertyTable& FXPadding::StaticProperties() {
//         static const TPropertyTable Table =
//             TPropertyTableBuilder<FXPadding>(L"FXPadding", &TAssignPersistent::StaticProperties())
//                 .Integer(L"Left", &FXPadding::Left, &FXPadding::SetLeft)
//                 .Event(L"OnChange", &FXPadding::OnChange, &FXPadding::SetOnChange)
//                 .Build();
//         return Table;
//     }
//
// A getter is anything callable with a const T& (usually a const member function); a setter is
// a member function taking one value or a callable taking (T&, value), or nullptr for a
// read-only property.
#pragma once

#include "sysutil/Exceptions.h"
#include "toolkit/PropertyValue.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// An unknown property name, or a write to a read-only property.
class EPropertyError : public EError {
public:
    using EError::EError;
};

struct TPropertyInfo {
    using TGetter = std::function<TPropertyValue(const TPersistent& Object)>;
    using TSetter = std::function<void(TPersistent& Object, const TPropertyValue& Value)>;

    std::wstring Name;
    TPropertyKind Kind = TPropertyKind::Empty;
    // Member names of an enumeration property, by ordinal; empty for the other kinds.
    std::vector<std::wstring> EnumNames;
    TGetter Get;
    TSetter Set; // empty for a read-only property

    bool ReadOnly() const noexcept { return !Set; }
    // The ordinal of an enumeration member's name, or -1.
    int EnumOrdinal(std::wstring_view MemberName) const;
};

class TPropertyTable {
public:
    TPropertyTable(std::wstring ClassName, const TPropertyTable* Parent, std::vector<TPropertyInfo> Own);
    TPropertyTable(const TPropertyTable&) = delete;
    TPropertyTable& operator=(const TPropertyTable&) = delete;
    TPropertyTable(TPropertyTable&&) = default;

    const std::wstring& ClassName() const noexcept { return FClassName; }
    const TPropertyTable* Parent() const noexcept { return FParent; }
    // The table of this class or of a base class; nullptr when the name is unknown.
    const TPropertyInfo* Find(std::wstring_view Name) const;
    // Every property of the class, inherited ones included, in alphabetical order of name.
    const std::vector<const TPropertyInfo*>& Sorted() const noexcept { return FSorted; }
    bool InheritsFrom(const TPropertyTable& Ancestor) const noexcept;

private:
    std::wstring FClassName;
    const TPropertyTable* FParent;
    std::vector<TPropertyInfo> FOwn;
    std::vector<const TPropertyInfo*> FSorted;
};

// Case-insensitive ordinal comparison of property names: <0, 0, >0.
int ComparePropertyNames(std::wstring_view A, std::wstring_view B);

namespace PropertyDetail {

// The value type a setter takes: from a member function (A) or from a callable (T&, A).
template <typename S> struct TSetterArg : TSetterArg<decltype(&S::operator())> {};
template <typename C, typename R, typename A> struct TSetterArg<R (C::*)(A)> { using Type = std::remove_cvref_t<A>; };
template <typename C, typename R, typename A> struct TSetterArg<R (C::*)(A) noexcept> {
    using Type = std::remove_cvref_t<A>;
};
template <typename C, typename R, typename O, typename A> struct TSetterArg<R (C::*)(O&, A) const> {
    using Type = std::remove_cvref_t<A>;
};
template <typename C, typename R, typename O, typename A> struct TSetterArg<R (C::*)(O&, A)> {
    using Type = std::remove_cvref_t<A>;
};

[[noreturn]] void OutOfRange(const std::wstring& Name, int64_t Value);
[[noreturn]] void WrongObject(const std::wstring& Name, const TPersistent* Value);
[[noreturn]] void WrongHandler(const std::wstring& Name);

} // namespace PropertyDetail

template <typename T> class TPropertyTableBuilder {
public:
    TPropertyTableBuilder(std::wstring ClassName, const TPropertyTable* Parent)
        : FClassName(std::move(ClassName)), FParent(Parent) {}

    template <typename G, typename S> TPropertyTableBuilder& Bool(std::wstring Name, G Get, S Set) {
        return Add(
            std::move(Name), TPropertyKind::Bool, {}, Get, Set, [](auto Value) { return TPropertyValue::Bool(Value); },
            [](const TPropertyValue& Value, const std::wstring&) { return Value.AsBool(); });
    }

    // Any integral type; a stored value outside the setter's type is a range error.
    template <typename G, typename S> TPropertyTableBuilder& Integer(std::wstring Name, G Get, S Set) {
        return Add(
            std::move(Name), TPropertyKind::Integer, {}, Get, Set,
            [](auto Value) { return TPropertyValue::Integer(static_cast<int64_t>(Value)); },
            []<typename A>(const TPropertyValue& Value, const std::wstring& PropertyName) {
                const int64_t number = Value.AsInteger();
                if (!std::in_range<A>(number)) {
                    PropertyDetail::OutOfRange(PropertyName, number);
                }
                return static_cast<A>(number);
            });
    }

    template <typename G, typename S> TPropertyTableBuilder& Float(std::wstring Name, G Get, S Set) {
        return Add(
            std::move(Name), TPropertyKind::Float, {}, Get, Set,
            [](auto Value) { return TPropertyValue::Float(static_cast<double>(Value)); },
            []<typename A>(const TPropertyValue& Value, const std::wstring&) {
                return static_cast<A>(Value.AsFloat());
            });
    }

    template <typename G, typename S> TPropertyTableBuilder& String(std::wstring Name, G Get, S Set) {
        return Add(
            std::move(Name), TPropertyKind::String, {}, Get, Set,
            [](const std::wstring& Value) { return TPropertyValue::String(Value); },
            [](const TPropertyValue& Value, const std::wstring&) { return Value.AsString(); });
    }

    template <typename G, typename S> TPropertyTableBuilder& Color(std::wstring Name, G Get, S Set) {
        return Add(
            std::move(Name), TPropertyKind::Color, {}, Get, Set,
            [](TColor Value) { return TPropertyValue::Color(Value); },
            [](const TPropertyValue& Value, const std::wstring&) { return Value.AsColor(); });
    }

    // Members are named by ordinal; an ordinal without a name is a range error.
    template <typename G, typename S>
    TPropertyTableBuilder& Enum(std::wstring Name, std::initializer_list<const wchar_t*> Members, G Get, S Set) {
        const int count = static_cast<int>(Members.size());
        return Add(
            std::move(Name), TPropertyKind::Enum, std::vector<std::wstring>(Members.begin(), Members.end()), Get, Set,
            [](auto Value) { return TPropertyValue::Enum(static_cast<int>(Value)); },
            [count]<typename A>(const TPropertyValue& Value, const std::wstring& PropertyName) {
                const int ordinal = Value.AsEnum();
                if (ordinal < 0 || ordinal >= count) {
                    PropertyDetail::OutOfRange(PropertyName, ordinal);
                }
                return static_cast<A>(ordinal);
            });
    }

    // A sub-object or a component reference; the setter takes a pointer to the class it needs.
    template <typename G, typename S> TPropertyTableBuilder& Object(std::wstring Name, G Get, S Set) {
        return Add(
            std::move(Name), TPropertyKind::Object, {}, Get, Set,
            [](TPersistent* Value) { return TPropertyValue::Object(Value); },
            []<typename A>(const TPropertyValue& Value, const std::wstring& PropertyName) {
                TPersistent* object = Value.AsObject();
                if (object == nullptr) {
                    return static_cast<A>(nullptr);
                }
                A typed = dynamic_cast<A>(object);
                if (typed == nullptr) {
                    PropertyDetail::WrongObject(PropertyName, object);
                }
                return typed;
            });
    }

    // An event; the getter and setter use the event's std::function type.
    template <typename G, typename S> TPropertyTableBuilder& Event(std::wstring Name, G Get, S Set) {
        return Add(
            std::move(Name), TPropertyKind::Event, {}, Get, Set,
            [](const auto& Handler) { return TPropertyValue::Event(std::any(Handler)); },
            []<typename A>(const TPropertyValue& Value, const std::wstring& PropertyName) {
                const std::any& handler = Value.AsEvent();
                if (!handler.has_value()) {
                    return A{};
                }
                const A* typed = std::any_cast<A>(&handler);
                if (typed == nullptr) {
                    PropertyDetail::WrongHandler(PropertyName);
                }
                return *typed;
            });
    }

    TPropertyTable Build() { return TPropertyTable(std::move(FClassName), FParent, std::move(FOwn)); }

private:
    template <typename G, typename S, typename ToValue, typename FromValue>
    TPropertyTableBuilder& Add(std::wstring Name, TPropertyKind Kind, std::vector<std::wstring> EnumNames, G Get, S Set,
                               ToValue To, FromValue From) {
        TPropertyInfo info;
        info.Name = Name;
        info.Kind = Kind;
        info.EnumNames = std::move(EnumNames);
        info.Get = [Get, To](const TPersistent& Object) { return To(std::invoke(Get, static_cast<const T&>(Object))); };
        if constexpr (!std::is_null_pointer_v<S>) {
            using A = typename PropertyDetail::TSetterArg<S>::Type;
            info.Set = [Set, From, Name](TPersistent& Object, const TPropertyValue& Value) {
                if constexpr (std::is_invocable_v<FromValue, const TPropertyValue&, const std::wstring&>) {
                    std::invoke(Set, static_cast<T&>(Object), static_cast<A>(From(Value, Name)));
                } else {
                    std::invoke(Set, static_cast<T&>(Object), From.template operator()<A>(Value, Name));
                }
            };
        }
        FOwn.push_back(std::move(info));
        return *this;
    }

    std::wstring FClassName;
    const TPropertyTable* FParent;
    std::vector<TPropertyInfo> FOwn;
};
