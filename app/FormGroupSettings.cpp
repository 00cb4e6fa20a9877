#include "app/FormGroupSettings.h"

#include "graph/canvas/CanvasColors.h"
#include "i18n/TranslateComponent.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace talivo {

TFormGroupSettings::TFormGroupSettings(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName("FormGroupSettings");
    setWindowTitle("Group settings");
    QFont font("Tahoma");
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(316, 191);

    auto *descriptionLabel = new QLabel("Group Description", this);
    descriptionLabel->setObjectName("LabeledEditDescriptionLabel");
    descriptionLabel->setGeometry(24, 16, 265, 15);
    fDescription = new QLineEdit(this);
    fDescription->setObjectName("LabeledEditDescription");
    fDescription->setGeometry(24, 33, 265, 23);
    descriptionLabel->setBuddy(fDescription);

    auto *colorLabel = new QLabel("Group Color", this);
    colorLabel->setObjectName("LabelGroupColor");
    colorLabel->setGeometry(24, 70, 265, 15);
    fColorBox = new TColorBox(this);
    fColorBox->setObjectName("ColorBoxGroup");
    fColorBox->setGeometry(24, 87, 145, 24);
    fColorBox->SetSelected(clLime);
    colorLabel->setBuddy(fColorBox);

    auto *ok = new QPushButton("Ok", this);
    ok->setObjectName("ButtonOk");
    ok->setGeometry(124, 146, 80, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });

    auto *cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("ButtonCancel");
    cancel->setGeometry(210, 146, 80, 28);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    TranslateComponent(*this);
}

void TFormGroupSettings::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The dialog lives on between showings and would give the focus back to the button that
    // closed it last: typing would go nowhere, and the first blank would press that button.
    fDescription->setFocus(Qt::OtherFocusReason);
    fDescription->selectAll();
    fSelectOnActivation = true;
}

void TFormGroupSettings::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // The line edit drops its selection while the window is being activated; it is made again
    // once, so that a colour dialog opened from here does not select the text anew.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && fSelectOnActivation) {
        fSelectOnActivation = false;
        fDescription->selectAll();
    }
}

} // namespace talivo
