#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/StrToInt.h"
#include "graph/GraphControl.h"
#include "graph/GraphNode.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <stdexcept>
#include <vector>

namespace talivo {

namespace {

// Marks carry group ids, which start at 1000, so this tag is free for the group records.
constexpr int32_t kGroupRecordTag = 500;
constexpr int kGroupRecordLines = 4;

TFileDialogOptions MeasurementDialogOptions()
{
    TFileDialogOptions options;
    options.Filters = {{_("Merivo"), "*.tlv"}};
    options.DefaultExt = ".tlv";
    return options;
}

// The lines of a record's text, broken at CR LF, CR or LF; a break at the very end starts no
// further line.
QStringList RecordLines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

int IntegerOr(const QString &text, int fallback)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError &) {
        return fallback;
    }
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
                throw std::runtime_error("The group record could not be created.");
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
    graph.LoadFromFile(*fileName);
    RebuildGroups();
    TrackBarPointSizeChange();
    fUnsaved = false;
}

void TFormMain::RebuildGroups()
{
    TGraphObjectList &objects = Canvas().Objects();
    for (int32_t i = 0; i < objects.Count();) {
        const TGraphObject *object = objects[i];
        if (object->Tag() != kGroupRecordTag) {
            ++i;
            continue;
        }
        const QStringList lines = RecordLines(object->Text());
        if (lines.size() < kGroupRecordLines)
            throw std::runtime_error(QString("A group record holds %1 lines instead of %2.")
                                         .arg(lines.size())
                                         .arg(kGroupRecordLines)
                                         .toStdString());
        const auto color = static_cast<TColor>(StrToInt(lines[3]));
        AddGroupRow(lines[1], color, IntegerOr(lines[2], 1000), IntegerOr(lines[0], 0));
        objects.Delete(i);
    }
}

} // namespace talivo
