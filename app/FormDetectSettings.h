#pragma once

#include "detect/DetectOptions.h"

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace talivo {

// The dialog for what "Auto detect" looks for: dark or bright objects or either, and how
// faint an object it still proposes. The main window fills it with its settings before it shows
// it and takes them back on Ok.
class TFormDetectSettings : public QDialog {
    Q_OBJECT
public:
    explicit TFormDetectSettings(QWidget *parent = nullptr);

    TObjectPolarity Polarity() const;
    void SetPolarity(TObjectPolarity polarity);
    QSpinBox &SpinEditSensitivity() const { return *fSensitivity; }

private:
    QRadioButton *fAutomatic;
    QRadioButton *fDark;
    QRadioButton *fBright;
    QSpinBox *fSensitivity;
};

} // namespace talivo
