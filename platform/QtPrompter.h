#pragma once

#include "platform/Prompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <memory>

namespace talivo {

// The prompter that really asks: Qt message boxes and file dialogs over the parent window.
class TQtPrompter : public IPrompter {
public:
    explicit TQtPrompter(QWidget *parent = nullptr) : fParent(parent) {}

    QWidget *Parent() const { return fParent; }
    void SetParent(QWidget *parent) { fParent = parent; }

    bool AskYesNo(const QString &text, const QString &caption) override;
    void Notice(const QString &text, const QString &caption) override;
    void Warning(const QString &text, const QString &caption) override;
    std::optional<QString> OpenFile(const TFileDialogOptions &options,
                                    int *filterIndex = nullptr) override;
    std::optional<QString> SaveFile(const TFileDialogOptions &options,
                                    int *filterIndex = nullptr) override;
    int RunDialog(QDialog &dialog) override;

    // The boxes and dialogs as shown, built without running them so their set-up can be checked.
    static std::unique_ptr<QMessageBox> BuildQuestionBox(const QString &text,
                                                         const QString &caption, QWidget *parent);
    static std::unique_ptr<QMessageBox> BuildNoticeBox(const QString &text, const QString &caption,
                                                       QWidget *parent);
    static std::unique_ptr<QMessageBox> BuildWarningBox(const QString &text, const QString &caption,
                                                        QWidget *parent);
    static std::unique_ptr<QFileDialog> BuildFileDialog(const TFileDialogOptions &options,
                                                        QFileDialog::AcceptMode mode,
                                                        QWidget *parent);
    // Qt's "Description (*.a *.b)" form of a filter entry.
    static QString NameFilter(const TFileFilter &filter);

private:
    std::optional<QString> RunFileDialog(const TFileDialogOptions &options,
                                         QFileDialog::AcceptMode mode, int *filterIndex);

    QPointer<QWidget> fParent;
};

} // namespace talivo
