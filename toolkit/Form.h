// A top-level form. It is one of the application's open forms from its construction to its
// destruction, which is how the theme manager reaches it; its window comes with the window
// classes of the toolkit.
#pragma once

#include "toolkit/Component.h"

class TForm : public TComponent {
public:
    // Usually owned by Application, which frees the forms left at its end.
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }
};
