#include "app/Export.h"

#include "app/AnsiText.h"
#include "app/Result.h"
#include "graph/objects/GraphNode.h"
#include "graph/objects/GraphObjectList.h"
#include "i18n/Translation.h"
#include "platform/AtomicFile.h"

#include <stdexcept>

namespace talivo {

namespace {

// Group ids start at 1000, so the first group of a run exports as group 0.
constexpr int kFirstGroupId = 1000;

} // namespace

QStringList ExportLines(const std::vector<TGroupRow> &rows, const TGraphObjectList &objects)
{
    TResult result;
    QStringList lines;
    for (const TGroupRow &row : rows) {
        // A TAB in the name would split the line into an extra column.
        const QString name = QString(row.Description).remove(u'\t');
        for (int32_t i = 0; i < objects.Count(); ++i) {
            const auto *mark = dynamic_cast<const TGraphNode *>(objects[i]);
            if (!mark || mark->Tag() != row.Id)
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

// Lines ended by CR LF in the Windows code page, for the spreadsheets the export is made for.
QByteArray ExportFileBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += ToAnsiBytes(line) + "\r\n";
    return bytes;
}

void WriteExportFile(const QString &fileName, const QStringList &lines)
{
    const QByteArray bytes = ExportFileBytes(lines);
    WriteFileAtomically(
        fileName, [&](QIODevice &file) { return file.write(bytes) == bytes.size(); },
        [&](TSaveStep, const QString &reason) {
            return std::make_exception_ptr(std::runtime_error(
                _("Cannot write \"%1\": %2").arg(fileName, reason).toStdString()));
        });
}

} // namespace talivo
