#include "toolkit/PropertyValue.h"

#include "sysutil/Exceptions.h"

const wchar_t* PropertyKindName(TPropertyKind Kind) {
    switch (Kind) {
    case TPropertyKind::Empty:
        return L"empty";
    case TPropertyKind::Bool:
        return L"Boolean";
    case TPropertyKind::Integer:
        return L"integer";
    case TPropertyKind::Float:
        return L"floating-point";
    case TPropertyKind::String:
        return L"string";
    case TPropertyKind::Color:
        return L"colour";
    case TPropertyKind::Enum:
        return L"enumeration";
    case TPropertyKind::Object:
        return L"object";
    case TPropertyKind::Event:
        return L"event";
    }
    return L"unknown";
}

TPropertyValue TPropertyValue::Bool(bool Value) {
    return TPropertyValue(TStorage(std::in_place_type<bool>, Value));
}

TPropertyValue TPropertyValue::Integer(int64_t Value) {
    return TPropertyValue(TStorage(std::in_place_type<int64_t>, Value));
}

TPropertyValue TPropertyValue::Float(double Value) {
    return TPropertyValue(TStorage(std::in_place_type<double>, Value));
}

TPropertyValue TPropertyValue::String(std::wstring Value) {
    return TPropertyValue(TStorage(std::in_place_type<std::wstring>, std::move(Value)));
}

TPropertyValue TPropertyValue::Color(TColor Value) {
    return TPropertyValue(TStorage(TColorValue{Value}));
}

TPropertyValue TPropertyValue::Enum(int Ordinal) {
    return TPropertyValue(TStorage(TEnumValue{Ordinal}));
}

TPropertyValue TPropertyValue::Object(TPersistent* Value) {
    return TPropertyValue(TStorage(std::in_place_type<TPersistent*>, Value));
}

TPropertyValue TPropertyValue::Event(std::any Handler) {
    return TPropertyValue(TStorage(TEventValue{std::move(Handler)}));
}

void TPropertyValue::WrongKind(TPropertyKind Wanted) const {
    throw EConvertError(std::wstring(L"A ") + PropertyKindName(Kind()) + L" value cannot be read as a " +
                        PropertyKindName(Wanted) + L" value.");
}

bool TPropertyValue::AsBool() const {
    if (const bool* value = std::get_if<bool>(&FValue)) {
        return *value;
    }
    WrongKind(TPropertyKind::Bool);
}

int64_t TPropertyValue::AsInteger() const {
    if (const int64_t* value = std::get_if<int64_t>(&FValue)) {
        return *value;
    }
    WrongKind(TPropertyKind::Integer);
}

double TPropertyValue::AsFloat() const {
    if (const double* value = std::get_if<double>(&FValue)) {
        return *value;
    }
    WrongKind(TPropertyKind::Float);
}

const std::wstring& TPropertyValue::AsString() const {
    if (const std::wstring* value = std::get_if<std::wstring>(&FValue)) {
        return *value;
    }
    WrongKind(TPropertyKind::String);
}

TColor TPropertyValue::AsColor() const {
    if (const TColorValue* value = std::get_if<TColorValue>(&FValue)) {
        return value->Value;
    }
    WrongKind(TPropertyKind::Color);
}

int TPropertyValue::AsEnum() const {
    if (const TEnumValue* value = std::get_if<TEnumValue>(&FValue)) {
        return value->Ordinal;
    }
    WrongKind(TPropertyKind::Enum);
}

TPersistent* TPropertyValue::AsObject() const {
    if (TPersistent* const* value = std::get_if<TPersistent*>(&FValue)) {
        return *value;
    }
    WrongKind(TPropertyKind::Object);
}

const std::any& TPropertyValue::AsEvent() const {
    if (const TEventValue* value = std::get_if<TEventValue>(&FValue)) {
        return value->Handler;
    }
    WrongKind(TPropertyKind::Event);
}
