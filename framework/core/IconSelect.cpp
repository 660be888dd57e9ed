#include "framework/core/IconSelect.h"

FXIconSelect::FXIconSelect(TPersistent* AOwner) : TMPersistent(AOwner) {}

const TPropertyTable& FXIconSelect::StaticProperties() {
    static const TPropertyTable Table =
        TPropertyTableBuilder<FXIconSelect>(L"FXIconSelect", &TMPersistent::StaticProperties())
            .Bool(L"Enabled", &FXIconSelect::Enabled, &FXIconSelect::SetEnabled)
            .Enum(L"IconType", {L"Image", L"BitMap", L"ImageList", L"SegoeIcon"}, &FXIconSelect::IconType,
                  &FXIconSelect::SetIconType)
            .String(L"SelectSegoe", &FXIconSelect::SelectSegoe, &FXIconSelect::SetSelectSegoe)
            .Integer(L"SelectImageIndex", &FXIconSelect::SelectImageIndex, &FXIconSelect::SetSelectImageIndex)
            .Build();
    return Table;
}

void FXIconSelect::Assign(const TPersistent& Source) {
    const auto* from = dynamic_cast<const FXIconSelect*>(&Source);
    if (from == nullptr) {
        TMPersistent::Assign(Source);
        return;
    }
    FEnabled = from->FEnabled;
    FType = from->FType;
    FSegoeText = from->FSegoeText;
    FImageIndex = from->FImageIndex;
}
