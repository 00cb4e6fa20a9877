#include "app/FormDetectSettings.h"

#include "app/FormGroupSettings.h"
#include "i18n/TranslateComponent.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace talivo {

TFormDetectSettings::TFormDetectSettings(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName("FormDetectSettings");
    setWindowTitle("Detection settings");
    QFont font("Tahoma");
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(316, 231);

    auto *objects = new QGroupBox("Objects", this);
    objects->setObjectName("GroupBoxObjects");
    objects->setGeometry(24, 12, 265, 100);
    auto *choices = new QVBoxLayout(objects);
    fAutomatic = new QRadioButton("Dark or bright, as the picture shows", objects);
    fAutomatic->setObjectName("RadioButtonAutomatic");
    fDark = new QRadioButton("Dark on a lighter background", objects);
    fDark->setObjectName("RadioButtonDark");
    fBright = new QRadioButton("Bright on a darker background", objects);
    fBright->setObjectName("RadioButtonBright");
    for (QRadioButton *choice : {fAutomatic, fDark, fBright})
        choices->addWidget(choice);
    fAutomatic->setChecked(true);

    auto *sensitivityLabel = new QLabel("Sensitivity (0 to 100)", this);
    sensitivityLabel->setObjectName("LabelSensitivity");
    sensitivityLabel->setGeometry(24, 124, 265, 15);
    fSensitivity = new QSpinBox(this);
    fSensitivity->setObjectName("SpinEditSensitivity");
    fSensitivity->setGeometry(24, 141, 80, 23);
    fSensitivity->setRange(int(kMinSensitivity), int(kMaxSensitivity));
    fSensitivity->setValue(int(kDefaultSensitivity));
    sensitivityLabel->setBuddy(fSensitivity);

    auto *ok = new QPushButton("Ok", this);
    ok->setObjectName("ButtonOk");
    ok->setGeometry(124, 186, 80, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });

    auto *cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("ButtonCancel");
    cancel->setGeometry(210, 186, 80, 28);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    TranslateComponent(*this);
}

TObjectPolarity TFormDetectSettings::Polarity() const
{
    if (fDark->isChecked())
        return opDark;
    if (fBright->isChecked())
        return opBright;
    return opAutomatic;
}

void TFormDetectSettings::SetPolarity(TObjectPolarity polarity)
{
    (polarity == opDark ? fDark : polarity == opBright ? fBright : fAutomatic)->setChecked(true);
}

} // namespace talivo
