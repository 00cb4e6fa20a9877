#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace talivo {

// The info dialog: program name, version, maker and two links. It is made once at start-up and
// only hidden when closed, so every showing presents the texts it was built with. Releasing a
// mouse button over the logo with Control and Shift held opens the settings folder.
class TFormInfo : public QDialog {
    Q_OBJECT
public:
    // The parent is the main window, which the dialog is centred over.
    explicit TFormInfo(QWidget *parent = nullptr);

    void FormCreate();
    void LabelSWUrlClick();
    void LabelKorvelUrlClick();
    // Any button counts; only the keys held decide.
    void ImageLogoMouseUp(Qt::KeyboardModifiers modifiers);
    void ButtonCloseClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildDesign();
    QLabel *AddLabel(const QString &name, const QString &text, const QRect &geometry);
    QLabel *AddLink(const QString &name, const QString &address, const QRect &geometry);
    // Hands the target to the shell under the busy cursor; whether it opened is not reported.
    void OpenWithShell(const QString &target);

    QLabel *fLabelProgram = nullptr;
    QLabel *fLabelVersionNumber = nullptr;
    QLabel *fImageLogo = nullptr;
    QLabel *fLabelSWUrl = nullptr;
    QLabel *fLabelKorvelUrl = nullptr;
    QPushButton *fButtonClose = nullptr;
};

} // namespace talivo
