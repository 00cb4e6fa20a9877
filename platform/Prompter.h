#pragma once

#include <QString>
#include <optional>
#include <vector>

class QDialog;

namespace talivo {

// One entry of a file dialog's type list; Patterns is a ';'-separated wildcard list such as
// "*.tlv;*.TLV".
struct TFileFilter {
    QString Description;
    QString Patterns;

    friend bool operator==(const TFileFilter &, const TFileFilter &) = default;
};

struct TFileDialogOptions {
    QString Caption;
    std::vector<TFileFilter> Filters;
    QString InitialDir;
    QString FileName;
    // Added to a name typed without an extension, with its dot (".bmp"); empty adds nothing.
    QString DefaultExt;
    // Save dialogs only: ask before a chosen file that exists is replaced.
    bool OverwritePrompt = false;
};

// Everything the program asks its user goes through this interface, so that every workflow can
// run headless with scripted answers (see TScriptedPrompter). Callers translate texts before.
class IPrompter {
public:
    virtual ~IPrompter() = default;

    // Yes and No buttons, warning icon, No the default; true only for Yes (closing the box is No).
    virtual bool AskYesNo(const QString &text, const QString &caption) = 0;
    // A one-button information notice.
    virtual void Notice(const QString &text, const QString &caption) = 0;
    // A one-button notice with the warning icon, for errors and refusals.
    virtual void Warning(const QString &text, const QString &caption) = 0;
    // The chosen full path, or nothing on Cancel. When filterIndex is given it receives the index
    // of the chosen entry of options.Filters, or -1 when the platform names none of them.
    virtual std::optional<QString> OpenFile(const TFileDialogOptions &options,
                                            int *filterIndex = nullptr) = 0;
    virtual std::optional<QString> SaveFile(const TFileDialogOptions &options,
                                            int *filterIndex = nullptr) = 0;
    // Shows the dialog modally and returns its result code.
    virtual int RunDialog(QDialog &dialog) = 0;
};

} // namespace talivo
