#pragma once

#include "app/ColorBox.h"

#include <QDialog>

class QLineEdit;

namespace talivo {

// Modal results of the program's dialogs.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// The dialog for a group's description and colour. It is made once and never reset, so each
// showing starts with what it held when it last closed.
class TFormGroupSettings : public QDialog {
    Q_OBJECT
public:
    explicit TFormGroupSettings(QWidget *parent = nullptr);

    QLineEdit &LabeledEditDescription() const { return *fDescription; }
    TColorBox &ColorBoxGroup() const { return *fColorBox; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLineEdit *fDescription;
    TColorBox *fColorBox;
    bool fSelectOnActivation = false;
};

} // namespace talivo
