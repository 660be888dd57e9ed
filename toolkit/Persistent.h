// The root of every object that has properties by name: components, their owned sub-objects
// (paddings, colour sets, icon selections) and whatever a stored layout fills in. Each class
// overrides Properties() to return its own StaticProperties() table.
#pragma once

#include "toolkit/PropertyTable.h"

#include <functional>
#include <string>
#include <string_view>

class TPersistent;

// The event without arguments beyond its sender.
using TNotifyEvent = std::function<void(TPersistent* Sender)>;

class TPersistent {
public:
    TPersistent() = default;
    virtual ~TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    static const TPropertyTable& StaticProperties();
    virtual const TPropertyTable& Properties() const { return StaticProperties(); }
    const std::wstring& ClassName() const { return Properties().ClassName(); }

    // Raises EPropertyError for an unknown name or a read-only property, EConvertError for a
    // value of another kind and ERangeError for a number the property cannot hold.
    TPropertyValue GetProperty(std::wstring_view Name) const;
    void SetProperty(std::wstring_view Name, const TPropertyValue& Value);

    // Copies Source into this object. The generic assignment lets Source try AssignTo and
    // raises EConvertError ("Cannot assign a X to a Y.") when neither side knows the other.
    virtual void Assign(const TPersistent& Source);

protected:
    virtual void AssignTo(TPersistent& Dest) const;
    // The copy by property name: every property of Source except events that this object also
    // has (same name, same kind) and can write, in alphabetical order of name, each through this
    // object's setter.
    void AssignProperties(const TPersistent& Source);
};
