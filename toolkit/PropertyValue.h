// One property value as the property tables carry it: reading a property by name gives one,
// writing takes one. The kind says which of the alternatives is held; reading it as another
// kind is an error, so a wrong stored value or a mismatched copy never passes unnoticed.
#pragma once

#include "sysutil/ColorValue.h"

#include <any>
#include <cstdint>
#include <string>
#include <variant>

class TPersistent;

enum class TPropertyKind : uint8_t { Empty, Bool, Integer, Float, String, Color, Enum, Object, Event };

// The name of a kind, for error messages.
const wchar_t* PropertyKindName(TPropertyKind Kind);

class TPropertyValue {
public:
    TPropertyValue() = default;

    static TPropertyValue Bool(bool Value);
    static TPropertyValue Integer(int64_t Value);
    static TPropertyValue Float(double Value);
    static TPropertyValue String(std::wstring Value);
    static TPropertyValue Color(TColor Value);
    // The ordinal of an enumeration member.
    static TPropertyValue Enum(int Ordinal);
    // A sub-object or a referenced component; the value owns nothing.
    static TPropertyValue Object(TPersistent* Value);
    // An event handler: a std::function of the event's own type.
    static TPropertyValue Event(std::any Handler);

    TPropertyKind Kind() const noexcept { return static_cast<TPropertyKind>(FValue.index()); }
    bool IsEmpty() const noexcept { return Kind() == TPropertyKind::Empty; }

    // Each raises EConvertError when the value holds another kind.
    bool AsBool() const;
    int64_t AsInteger() const;
    double AsFloat() const;
    const std::wstring& AsString() const;
    TColor AsColor() const;
    int AsEnum() const;
    TPersistent* AsObject() const;
    const std::any& AsEvent() const;

    // Same kind and same value; events compare equal when both are empty or both are set.
    bool operator==(const TPropertyValue& Other) const { return FValue == Other.FValue; }

private:
    struct TColorValue {
        TColor Value;
        bool operator==(const TColorValue&) const = default;
    };
    struct TEnumValue {
        int Ordinal;
        bool operator==(const TEnumValue&) const = default;
    };
    struct TEventValue {
        std::any Handler;
        bool operator==(const TEventValue& Other) const { return Handler.has_value() == Other.Handler.has_value(); }
    };
    // The order of the alternatives is the order of TPropertyKind.
    using TStorage = std::variant<std::monostate, bool, int64_t, double, std::wstring, TColorValue, TEnumValue,
                                  TPersistent*, TEventValue>;

    explicit TPropertyValue(TStorage Value) : FValue(std::move(Value)) {}
    [[noreturn]] void WrongKind(TPropertyKind Wanted) const;

    TStorage FValue;
};
