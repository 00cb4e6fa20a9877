#include "app/AnsiText.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/Result.h"
#include "graph/GraphControl.h"
#include "graph/GraphNode.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace talivo {

namespace {

// Group ids start at 1000, so the first group of a run exports as group 0.
constexpr int kFirstGroupId = 1000;

// Lines ended by CR LF in the Windows code page, for the spreadsheets the export is made for.
// The file is replaced only once the new text is complete.
void WriteTextFile(const QString &fileName, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += ToAnsiBytes(line) + "\r\n";
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(
            QString("Cannot write \"%1\": %2").arg(fileName, file.errorString()).toStdString());
}

// One line per mark, group by group in table order, within a group in canvas order; the header
// comes with the first line.
QStringList ExportLines(const TGroupListView &list, const TGraphObjectList &objects)
{
    TResult result;
    QStringList lines;
    for (int row = 0; row < list.RowCount(); ++row) {
        const int id = list.GroupId(row);
        // A TAB in the name would split the line into an extra column.
        const QString name = list.SubItem(row, gsDescription).remove(u'\t');
        for (int32_t i = 0; i < objects.Count(); ++i) {
            const auto *mark = dynamic_cast<const TGraphNode *>(objects[i]);
            if (!mark || mark->Tag() != id)
                continue;
            const TPoint center = mark->Center();
            result.SetIntegerValue("GroupId", mark->Tag() - kFirstGroupId);
            result.SetTextValue("GroupName", name);
            result.SetTextValue("Label", mark->Text());
            result.SetIntegerValue("X", center.X);
            result.SetIntegerValue("Y", center.Y);
            result.AppendToLines(&lines);
        }
    }
    return lines;
}

} // namespace

void TFormMain::Exportmeasurement1Click()
{
    TFileDialogOptions options;
    options.Filters = {{"*.txt", "*.txt"}, {"*.*", "*.*"}};
    options.DefaultExt = ".txt";
    const std::optional<QString> fileName = Prompter().SaveFile(options);
    if (!fileName)
        return;
    // Asked here rather than by the dialog, which not every platform makes ask.
    if (QFileInfo::exists(*fileName) &&
        !Prompter().AskYesNo(
            _("File already exists. Do you really want to overwrite the existing file?"),
            _("Overwrite")))
        return;

    // Without a canvas there are no marks, and no marks make an empty file.
    const TGraphControl *graph = Graph();
    WriteTextFile(*fileName,
                  graph ? ExportLines(*fListViewGroups, graph->Objects()) : QStringList());
}

void TFormMain::GridCopyToClipboard1Click()
{
    const TGroupListView &list = *fListViewGroups;
    QStringList counts;
    for (int row = 0; row < list.RowCount(); ++row)
        counts << list.SubItem(row, gsCount);
    Clipboard().SetText(counts.join(u'\t'));
}

} // namespace talivo
