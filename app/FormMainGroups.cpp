#include "app/AnsiText.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/Measurement.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QLineEdit>

namespace talivo {

void TFormMain::AddGroupRow(const QString &description, TColor color, int id, int count)
{
    fListViewGroups->Select(fMeasurement.NewGroup(description, color, id, count));
}

void TFormMain::DeleteGroup(int row)
{
    if (row < 0)
        return;
    fMeasurement.DeleteGroup(row);
    if (fMeasurement.Groups().RowCount() > 0)
        fListViewGroups->Select(0);
}

void TFormMain::ButtonAddGroupClick()
{
    TFormGroupSettings &dialog = GroupSettings();
    if (Prompter().RunDialog(dialog) != mrOk)
        return;
    AddGroupRow(Trim(dialog.LabeledEditDescription().text()), dialog.ColorBoxGroup().Selected(), 0,
                0);
}

void TFormMain::ButtonEditGroupClick()
{
    TGroupTableModel &groups = fMeasurement.Groups();
    if (groups.RowCount() == 0)
        return;
    const int row = fListViewGroups->Selected() >= 0 ? fListViewGroups->Selected() : 0;
    TFormGroupSettings &dialog = GroupSettings();
    dialog.LabeledEditDescription().setText(groups.Description(row));
    dialog.ColorBoxGroup().SetSelected(groups.Color(row));
    if (Prompter().RunDialog(dialog) != mrOk)
        return;
    fMeasurement.EditGroup(row, SingleLine(dialog.LabeledEditDescription().text()),
                           dialog.ColorBoxGroup().Selected());
}

void TFormMain::ButtonRemoveGroupClick()
{
    if (!Prompter().AskYesNo(_("Delete selected group and all corresponding marks?"),
                             _("Delete group")))
        return;
    DeselectAllMarks();
    const int row = fListViewGroups->Selected();
    if (row >= 0)
        DeleteGroup(row);
    else
        fMeasurement.MarkChanged(); // as a confirmed deletion always makes the work unsaved
}

} // namespace talivo
