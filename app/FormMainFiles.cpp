#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/Measurement.h"
#include "graph/GraphControl.h"
#include "graph/GraphNode.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <stdexcept>
#include <vector>

namespace talivo {

namespace {

TFileDialogOptions MeasurementDialogOptions()
{
    TFileDialogOptions options;
    options.Filters = {{_("Merivo"), "*.tlv"}};
    options.DefaultExt = ".tlv";
    return options;
}

// Each group record becomes a row of the window's table.
TAddGroup TableRowAdder(TFormMain &form)
{
    return [&form](const TGroupRecord &group) {
        form.AddGroupRow(group.Description, group.Color, group.Id, group.Count);
    };
}

} // namespace

void TFormMain::Savemeasurement1Click()
{
    const std::optional<QString> fileName = Prompter().SaveFile(MeasurementDialogOptions());
    if (!fileName)
        return;
    TGraphControl &graph = Canvas();
    const TGraphNodeClass *recordClass = TGraphControl::FindClass("TRectangularNode");
    const TGroupListView &list = *fListViewGroups;
    std::vector<TGraphObject *> records;
    // The records exist for the file only. Whether the write succeeds or not, they must leave the
    // canvas again, or the next save would store every group twice.
    auto removeRecords = [&] {
        for (TGraphObject *record : records)
            graph.Objects().Remove(record);
    };
    try {
        for (int row = 0; row < list.RowCount(); ++row) {
            TGraphNode *record = graph.InsertNode({10 * row, 0, 10 * row + 10, 10}, recordClass);
            if (!record)
                throw std::runtime_error(_("The group record could not be created.").toStdString());
            records.push_back(record);
            QString text;
            for (TGroupSubItem item : {gsCount, gsDescription, gsId, gsColor})
                text += list.SubItem(row, item) + "\r\n";
            record->SetText(text);
            record->SetTag(kGroupRecordTag);
        }
        graph.SaveToFile(*fileName);
    } catch (...) {
        removeRecords();
        throw;
    }
    removeRecords();
    fUnsaved = false;
}

void TFormMain::Openmeasurement1Click()
{
    TGraphControl *canvas = Graph();
    const QImage *image = canvas ? &canvas->Background().Image() : nullptr;
    if (!image || qint64(image->width()) * image->height() < 1) {
        Prompter().Notice(_("Please load image first."), QCoreApplication::applicationName());
        return;
    }
    if (fUnsaved && !Prompter().AskYesNo(
                        _("There are unsaved changes. Do you really want to discard the changes?"),
                        _("Unsaved changes")))
        return;
    const std::optional<QString> fileName = Prompter().OpenFile(MeasurementDialogOptions());
    if (!fileName)
        return;
    TGraphControl &graph = *canvas;
    graph.Clear();
    for (int row = fListViewGroups->RowCount() - 1; row >= 0; --row)
        fListViewGroups->DeleteRow(row);
    ReadMeasurement(graph, *fileName, TableRowAdder(*this));
    TrackBarPointSizeChange();
    fUnsaved = false;
}

void TFormMain::RebuildGroups()
{
    talivo::RebuildGroups(Canvas(), TableRowAdder(*this));
}

} // namespace talivo
