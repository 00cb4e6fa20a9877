#include "app/AnsiText.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/GroupIdCounter.h"
#include "app/Measurement.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QLineEdit>

namespace talivo {

namespace {

// Colours are stored the way the rest of the document writes them: the 32-bit value as a signed
// decimal number.
QString ColorText(TColor color)
{
    return QString::number(static_cast<int32_t>(color));
}

} // namespace

void TFormMain::AddGroupRow(const QString &description, TColor color, int id, int count)
{
    const TGroupRow group = MakeGroupRow(description, color, id, count, TGroupIdCounter::Program());
    TGroupListView &list = *fListViewGroups;
    const int swatch = list.AddSwatch(group.Color);
    const int row = list.AppendRow(" " + QString::number(list.RowCount() + 1),
                                   {QString::number(group.Count), group.Description,
                                    QString::number(group.Id), ColorText(group.Color)},
                                   swatch);
    list.Select(row);
    fUnsaved = true;
}

void TFormMain::DeleteGroup(int row)
{
    if (row < 0)
        return;
    TGroupListView &list = *fListViewGroups;
    RemoveGroupMarks(list.GroupId(row));
    list.DeleteRow(row);
    if (list.RowCount() > 0)
        list.Select(0);
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
    TGroupListView &list = *fListViewGroups;
    if (list.RowCount() == 0)
        return;
    const int row = list.Selected() >= 0 ? list.Selected() : 0;
    TFormGroupSettings &dialog = GroupSettings();
    dialog.LabeledEditDescription().setText(list.SubItem(row, gsDescription));
    dialog.ColorBoxGroup().SetSelected(list.GroupColor(row));
    if (Prompter().RunDialog(dialog) != mrOk)
        return;
    const TColor color = dialog.ColorBoxGroup().Selected();
    list.SetSubItem(row, gsDescription, SingleLine(dialog.LabeledEditDescription().text()));
    list.SetSubItem(row, gsColor, ColorText(color));
    list.ReplaceSwatch(list.ImageIndex(row), color);
    RecolourGroupMarks(list.GroupId(row), list.GroupColor(row));
    fUnsaved = true;
}

void TFormMain::ButtonRemoveGroupClick()
{
    if (!Prompter().AskYesNo(_("Delete selected group and all corresponding marks?"),
                             _("Delete group")))
        return;
    DeselectAllMarks();
    DeleteGroup(fListViewGroups->Selected());
    fUnsaved = true;
}

} // namespace talivo
