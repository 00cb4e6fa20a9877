#include "platform/ScriptedPrompter.h"

#include <QDialog>

namespace talivo {

namespace {

const char *KindName(TPromptKind kind)
{
    switch (kind) {
    case TPromptKind::pkYesNo:
        return "yes/no question";
    case TPromptKind::pkNotice:
        return "notice";
    case TPromptKind::pkWarning:
        return "warning";
    case TPromptKind::pkOpenFile:
        return "open dialog";
    case TPromptKind::pkSaveFile:
        return "save dialog";
    case TPromptKind::pkDialog:
        return "dialog";
    }
    return "prompt";
}

[[noreturn]] void Unscripted(const TPromptRecord &record)
{
    throw EUnscriptedPrompt(
        QStringLiteral("Unscripted %1: caption \"%2\", text \"%3\"")
            .arg(QLatin1String(KindName(record.Kind)), record.Caption, record.Text)
            .toStdString());
}

} // namespace

bool TScriptedPrompter::AskYesNo(const QString &text, const QString &caption)
{
    fAsked.push_back({TPromptKind::pkYesNo, text, caption, {}});
    if (fAnswers.empty())
        Unscripted(fAsked.back());
    const bool yes = fAnswers.front();
    fAnswers.pop_front();
    return yes;
}

void TScriptedPrompter::Notice(const QString &text, const QString &caption)
{
    fAsked.push_back({TPromptKind::pkNotice, text, caption, {}});
}

void TScriptedPrompter::Warning(const QString &text, const QString &caption)
{
    fAsked.push_back({TPromptKind::pkWarning, text, caption, {}});
}

std::optional<QString> TScriptedPrompter::OpenFile(const TFileDialogOptions &options,
                                                   int *filterIndex)
{
    return AnswerFile(TPromptKind::pkOpenFile, options, filterIndex);
}

std::optional<QString> TScriptedPrompter::SaveFile(const TFileDialogOptions &options,
                                                   int *filterIndex)
{
    return AnswerFile(TPromptKind::pkSaveFile, options, filterIndex);
}

std::optional<QString>
TScriptedPrompter::AnswerFile(TPromptKind kind, const TFileDialogOptions &options, int *filterIndex)
{
    fAsked.push_back({kind, {}, options.Caption, options});
    if (fFiles.empty())
        Unscripted(fAsked.back());
    std::optional<QString> path = std::move(fFiles.front().Path);
    if (path && filterIndex)
        *filterIndex = fFiles.front().FilterIndex;
    fFiles.pop_front();
    return path;
}

int TScriptedPrompter::RunDialog(QDialog &dialog)
{
    fAsked.push_back({TPromptKind::pkDialog, dialog.objectName(), dialog.windowTitle(), {}});
    if (fDialogs.empty())
        Unscripted(fAsked.back());
    TDialogAnswer answer = std::move(fDialogs.front());
    fDialogs.pop_front();
    if (answer.Filler)
        answer.Filler(dialog);
    dialog.setResult(answer.Result);
    return answer.Result;
}

} // namespace talivo
