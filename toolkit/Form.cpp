#include "toolkit/Form.h"

#include "toolkit/Application.h"

TForm::TForm(TComponent* AOwner) : TComponent(AOwner) {
    Application.AddForm(this);
}

TForm::~TForm() {
    // The owned components may still reach the form while they are freed.
    DestroyComponents();
    Application.RemoveForm(this);
}

const TPropertyTable& TForm::StaticProperties() {
    static const TPropertyTable Table = TPropertyTableBuilder<TForm>(L"TForm", &TComponent::StaticProperties()).Build();
    return Table;
}
