#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/Measurement.h"
#include "graph/GraphControl.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QToolButton>
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
    if (!fileName || !MayWrite(*fileName))
        return;
    const TGroupListView &list = *fListViewGroups;
    std::vector<QStringList> records;
    for (int row = 0; row < list.RowCount(); ++row) {
        QStringList &fields = records.emplace_back();
        for (TGroupSubItem item : {gsCount, gsDescription, gsId, gsColor})
            fields << list.SubItem(row, item);
    }
    // The group records come and go by the canvas's own insertion, which counts as an edit.
    const bool unsaved = fUnsaved;
    try {
        SaveMeasurement(Canvas(), records, *fileName);
    } catch (...) {
        fUnsaved = unsaved;
        throw;
    }
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
    if (!MayDiscardChanges())
        return;
    const std::optional<QString> fileName = Prompter().OpenFile(MeasurementDialogOptions());
    if (!fileName)
        return;
    // Read and checked whole first: a file that cannot be opened leaves the document as it was.
    const TMeasurementContent content = ReadMeasurementFile(*fileName);
    TGraphControl &graph = *canvas;
    graph.Clear();
    for (int row = fListViewGroups->RowCount() - 1; row >= 0; --row)
        fListViewGroups->DeleteRow(row);
    ShowMeasurement(graph, content);
    for (const TGroupRecord &group : content.Groups)
        AddGroupRow(group.Description, group.Color, group.Id, group.Count);
    // The button shows what the canvas shows: pressed only when every mark is hidden.
    fToolButtonHide->setChecked(content.MarksHidden);
    TrackBarPointSizeChange();
    fUnsaved = false;
}

bool TFormMain::MayDiscardChanges()
{
    return !fUnsaved ||
           Prompter().AskYesNo(
               _("There are unsaved changes. Do you really want to discard the changes?"),
               _("Unsaved changes"));
}

bool TFormMain::MayWrite(const QString &fileName)
{
    const QFileInfo target(fileName);
    if (!target.exists())
        return true;
    if (!fImageFileName.isEmpty() && target.canonicalFilePath() == fImageFileName) {
        Prompter().Warning(
            _("\"%1\" is the picture being counted and is not replaced. Please choose another "
              "file name.")
                .arg(fileName),
            QCoreApplication::applicationName());
        return false;
    }
    return Prompter().AskYesNo(
        _("File already exists. Do you really want to overwrite the existing file?"),
        _("Overwrite"));
}

void TFormMain::RebuildGroups()
{
    talivo::RebuildGroups(Canvas(), TableRowAdder(*this));
}

} // namespace talivo
