// The icon a control shows: glyphs of the icon font (one or more characters drawn on top of
// each other), an image-list index, or a picture or bitmap. The control owns the selection and
// a stored layout fills it in.
#pragma once

#include "framework/core/MPersistent.h"

#include <cstdint>
#include <string>

enum class FXIconType : uint8_t { Image, BitMap, ImageList, SegoeIcon };

class FXIconSelect : public TMPersistent {
public:
    // Not enabled, the icon-font glyph U+E734, image index 0.
    explicit FXIconSelect(TPersistent* AOwner);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    FXIconType IconType() const noexcept { return FType; }
    void SetIconType(FXIconType Value) { FType = Value; }
    // Private-use characters of the icon font.
    const std::wstring& SelectSegoe() const noexcept { return FSegoeText; }
    void SetSelectSegoe(const std::wstring& Value) { FSegoeText = Value; }
    int32_t SelectImageIndex() const noexcept { return FImageIndex; }
    void SetSelectImageIndex(int32_t Value) { FImageIndex = Value; }

    // From another icon selection: every field, without notifying anybody. Anything else goes
    // to the generic assignment, which refuses it.
    void Assign(const TPersistent& Source) override;

private:
    bool FEnabled = false;
    FXIconType FType = FXIconType::SegoeIcon;
    std::wstring FSegoeText = L"\xE734";
    int32_t FImageIndex = 0;
};
