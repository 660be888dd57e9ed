// Small persistent objects that a control owns and a stored layout fills in: TMPersistent knows
// its owner, TAssignPersistent copies itself from another one property by property.
#pragma once

#include "toolkit/Persistent.h"

class TMPersistent : public TPersistent {
public:
    explicit TMPersistent(TPersistent* AOwner) : FOwner(AOwner) {}

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    // The owning object, usually a control; may be absent.
    TPersistent* Owner() const noexcept { return FOwner; }

private:
    TPersistent* FOwner;
};

class TAssignPersistent : public TMPersistent {
public:
    using TMPersistent::TMPersistent;

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    // From another TAssignPersistent: every property of Source except events that this object
    // also has, in alphabetical order of name, through this object's setters. Anything else goes
    // to the generic assignment, which refuses unrelated classes.
    void Assign(const TPersistent& Source) override;
};
