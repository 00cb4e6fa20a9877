#include "app/FormMain.h"
#include "graph/control/GraphControl.h"
#include "i18n/Translation.h"

#include <QAction>
#include <QKeySequence>

namespace talivo {

void TFormMain::CreateHistoryCommands()
{
    fUndoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    fRedoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QUndoStack &history = fMeasurement.History();
    connect(&history, &QUndoStack::indexChanged, this, &TFormMain::UpdateHistoryCommands);
    connect(&history, &QUndoStack::undoTextChanged, this, &TFormMain::UpdateHistoryCommands);
    connect(&history, &QUndoStack::redoTextChanged, this, &TFormMain::UpdateHistoryCommands);
    connect(&history, &QUndoStack::canUndoChanged, this, &TFormMain::UpdateHistoryCommands);
    connect(&history, &QUndoStack::canRedoChanged, this, &TFormMain::UpdateHistoryCommands);
    UpdateHistoryCommands();
}

void TFormMain::UpdateHistoryCommands()
{
    const QUndoStack &history = fMeasurement.History();
    // A job on this thread works on the marks with the window out of reach, keys included.
    const bool free = !fJob || !fJob->OnThisThread();
    fUndoAction->setText(history.canUndo() ? _("Undo %1").arg(history.undoText()) : _("Undo"));
    fUndoAction->setEnabled(free && history.canUndo());
    fRedoAction->setText(history.canRedo() ? _("Redo %1").arg(history.redoText()) : _("Redo"));
    fRedoAction->setEnabled(free && history.canRedo());
}

void TFormMain::Undo1Click()
{
    StepHistory(true);
}

void TFormMain::Redo1Click()
{
    StepHistory(false);
}

void TFormMain::StepHistory(bool back)
{
    // A drag holds the marks it moves until it ends.
    if ((fJob && fJob->OnThisThread()) || (fGraph && fGraph->DragSource()))
        return;
    QUndoStack &history = fMeasurement.History();
    {
        const TUpdateBatch batch(fMeasurement.Marks());
        if (back)
            history.undo();
        else
            history.redo();
    }
    // A group that comes back, or goes, leaves a group current for new marks.
    if (fListViewGroups->Selected() < 0 && Groups().RowCount() > 0)
        fListViewGroups->Select(Groups().RowCount() - 1);
    UpdateGroupStatus();
}

} // namespace talivo
