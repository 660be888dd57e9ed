#include "framework/core/MPersistent.h"

const TPropertyTable& TMPersistent::StaticProperties() {
    static const TPropertyTable Table(L"TMPersistent", &TPersistent::StaticProperties(), {});
    return Table;
}

const TPropertyTable& TAssignPersistent::StaticProperties() {
    static const TPropertyTable Table(L"TAssignPersistent", &TMPersistent::StaticProperties(), {});
    return Table;
}

void TAssignPersistent::Assign(const TPersistent& Source) {
    if (dynamic_cast<const TAssignPersistent*>(&Source) != nullptr) {
        AssignProperties(Source);
    } else {
        TMPersistent::Assign(Source);
    }
}
