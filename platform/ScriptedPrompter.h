#pragma once

#include "platform/Prompter.h"

#include <deque>
#include <functional>
#include <stdexcept>

namespace talivo {

enum class TPromptKind { pkYesNo, pkNotice, pkWarning, pkOpenFile, pkSaveFile, pkDialog };

// One question as it was asked. For a dialog, Text is the dialog's objectName and Caption its
// window title; Options is filled for file dialogs only.
struct TPromptRecord {
    TPromptKind Kind;
    QString Text;
    QString Caption;
    TFileDialogOptions Options;
};

// A question the test did not script an answer for.
class EUnscriptedPrompt : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The prompter for tests: answers from queues the test fills beforehand, one queue per kind of
// question, and records every question asked. Notices and warnings need no answer. A question
// whose queue is empty throws EUnscriptedPrompt rather than guessing, so an unexpected prompt
// fails the test.
class TScriptedPrompter : public IPrompter {
public:
    // Fills the dialog's widgets before its result is returned, as if the user had typed.
    using TDialogFiller = std::function<void(QDialog &)>;

    void PushAnswer(bool yes) { fAnswers.push_back(yes); }
    // Serves open and save dialogs alike, in order; nothing means Cancel.
    void PushFile(std::optional<QString> path, int filterIndex = 0)
    {
        fFiles.push_back({std::move(path), filterIndex});
    }
    void PushDialog(int result, TDialogFiller filler = {})
    {
        fDialogs.push_back({result, std::move(filler)});
    }

    const std::vector<TPromptRecord> &Asked() const { return fAsked; }
    // Scripted answers not used yet.
    size_t Pending() const { return fAnswers.size() + fFiles.size() + fDialogs.size(); }

    bool AskYesNo(const QString &text, const QString &caption) override;
    void Notice(const QString &text, const QString &caption) override;
    void Warning(const QString &text, const QString &caption) override;
    std::optional<QString> OpenFile(const TFileDialogOptions &options,
                                    int *filterIndex = nullptr) override;
    std::optional<QString> SaveFile(const TFileDialogOptions &options,
                                    int *filterIndex = nullptr) override;
    int RunDialog(QDialog &dialog) override;

private:
    struct TFileAnswer {
        std::optional<QString> Path;
        int FilterIndex;
    };
    struct TDialogAnswer {
        int Result;
        TDialogFiller Filler;
    };

    std::optional<QString> AnswerFile(TPromptKind kind, const TFileDialogOptions &options,
                                      int *filterIndex);

    std::deque<bool> fAnswers;
    std::deque<TFileAnswer> fFiles;
    std::deque<TDialogAnswer> fDialogs;
    std::vector<TPromptRecord> fAsked;
};

} // namespace talivo
