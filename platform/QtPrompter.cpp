#include "platform/QtPrompter.h"

namespace talivo {

namespace {

// Runs a modal box or dialog we own. When its parent window is destroyed while it runs, the
// parent has already deleted it, so ownership is dropped instead of deleting it a second time.
template <class TWidget> std::optional<int> ExecOwned(std::unique_ptr<TWidget> &widget)
{
    QPointer<TWidget> alive(widget.get());
    const int result = widget->exec();
    if (!alive) {
        (void)widget.release();
        return std::nullopt;
    }
    return result;
}

// Platform dialogs may report the chosen filter with or without its pattern list.
int FilterIndex(const TFileDialogOptions &options, const QString &selected)
{
    for (size_t i = 0; i < options.Filters.size(); ++i) {
        const TFileFilter &filter = options.Filters[i];
        if (selected == TQtPrompter::NameFilter(filter) || selected == filter.Description)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

bool TQtPrompter::AskYesNo(const QString &text, const QString &caption)
{
    auto box = BuildQuestionBox(text, caption, fParent);
    return ExecOwned(box) == QMessageBox::Yes;
}

void TQtPrompter::Notice(const QString &text, const QString &caption)
{
    auto box = BuildNoticeBox(text, caption, fParent);
    ExecOwned(box);
}

std::optional<QString> TQtPrompter::OpenFile(const TFileDialogOptions &options, int *filterIndex)
{
    return RunFileDialog(options, QFileDialog::AcceptOpen, filterIndex);
}

std::optional<QString> TQtPrompter::SaveFile(const TFileDialogOptions &options, int *filterIndex)
{
    return RunFileDialog(options, QFileDialog::AcceptSave, filterIndex);
}

void TQtPrompter::Warning(const QString &text, const QString &caption)
{
    auto box = BuildWarningBox(text, caption, fParent);
    ExecOwned(box);
}

int TQtPrompter::RunDialog(QDialog &dialog)
{
    return dialog.exec();
}

std::unique_ptr<QMessageBox> TQtPrompter::BuildQuestionBox(const QString &text,
                                                           const QString &caption, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, caption, text,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

std::unique_ptr<QMessageBox> TQtPrompter::BuildNoticeBox(const QString &text,
                                                         const QString &caption, QWidget *parent)
{
    return std::make_unique<QMessageBox>(QMessageBox::Information, caption, text, QMessageBox::Ok,
                                         parent);
}

std::unique_ptr<QMessageBox> TQtPrompter::BuildWarningBox(const QString &text,
                                                          const QString &caption, QWidget *parent)
{
    return std::make_unique<QMessageBox>(QMessageBox::Warning, caption, text, QMessageBox::Ok,
                                         parent);
}

QString TQtPrompter::NameFilter(const TFileFilter &filter)
{
    QString patterns = filter.Patterns;
    patterns.replace(';', ' ');
    return filter.Description + " (" + patterns.simplified() + ')';
}

std::unique_ptr<QFileDialog> TQtPrompter::BuildFileDialog(const TFileDialogOptions &options,
                                                          QFileDialog::AcceptMode mode,
                                                          QWidget *parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent, options.Caption, options.InitialDir);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    // Descriptions often name their patterns already ("All (*.gif;*.jpg)"); Qt's appended
    // pattern list is kept out of sight so the description shows as written.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
    QStringList filters;
    for (const TFileFilter &filter : options.Filters)
        filters << NameFilter(filter);
    if (!filters.isEmpty())
        dialog->setNameFilters(filters);
    QString suffix = options.DefaultExt;
    if (suffix.startsWith('.'))
        suffix.remove(0, 1);
    dialog->setDefaultSuffix(suffix);
    if (!options.FileName.isEmpty())
        dialog->selectFile(options.FileName);
    return dialog;
}

std::optional<QString> TQtPrompter::RunFileDialog(const TFileDialogOptions &options,
                                                  QFileDialog::AcceptMode mode, int *filterIndex)
{
    auto dialog = BuildFileDialog(options, mode, fParent);
    if (ExecOwned(dialog) != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    if (filterIndex)
        *filterIndex = FilterIndex(options, dialog->selectedNameFilter());
    return files.front();
}

} // namespace talivo
