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
    // Every step taken, taken back or done again moves the index, and so does a fresh history.
    connect(&fMeasurement.History(), &QUndoStack::indexChanged, this,
            &TFormMain::UpdateHistoryCommands);
    UpdateHistoryCommands();
}

void TFormMain::UpdateHistoryCommands()
{
    const QUndoStack &history = fMeasurement.History();
    // A job on this thread works on the marks with the window out of reach, keys included.
    const bool free = !fJob || !fJob->OnThisThread();
    // Most steps follow one of the same name (a mark after a mark), which changes nothing here;
    // translating the names again for each would cost more than the step.
    const QString undo = history.canUndo() ? history.undoText() : QString();
    const QString redo = history.canRedo() ? history.redoText() : QString();
    const bool undoEnabled = free && history.canUndo();
    const bool redoEnabled = free && history.canRedo();
    if (fHistoryShown && undo == fUndoShown && redo == fRedoShown &&
        undoEnabled == fUndoAction->isEnabled() && redoEnabled == fRedoAction->isEnabled())
        return;
    fHistoryShown = true;
    fUndoShown = undo;
    fRedoShown = redo;
    fUndoAction->setText(undo.isEmpty() ? _("Undo") : _("Undo %1").arg(_(undo)));
    fUndoAction->setEnabled(undoEnabled);
    fRedoAction->setText(redo.isEmpty() ? _("Redo") : _("Redo %1").arg(_(redo)));
    fRedoAction->setEnabled(redoEnabled);
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
