#include "app/Measurement.h"

#include "app/AnsiText.h"
#include "app/GroupIdCounter.h"
#include "app/MarkStyle.h"
#include "app/ProgressDevice.h"
#include "app/StrToInt.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphNode.h"
#include "graph/objects/UpdateBatch.h"
#include "graph/stream/GraphStreamFormat.h"
#include "graph/stream/GraphStreamWriter.h"
#include "i18n/Translation.h"
#include "platform/TranslatableError.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <unordered_map>

namespace talivo {

namespace {

constexpr int kGroupRecordLines = 4;
// A record whose id is not a number joins the first group id a run hands out.
constexpr int kUnreadableGroupId = 1000;

// The lines of a record's text, broken at CR LF, CR or LF; breaks at the very end start no
// further lines.
QStringList RecordLines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    while (!lines.isEmpty() && lines.constLast().isEmpty())
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

// A stored count. One beyond the integers stops at the largest (or smallest) integer rather than
// reading as nothing; text that is no number counts 0.
int RecordCount(const QString &text)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError &) {
        static const QRegularExpression decimal(QStringLiteral("^ *([+-]?)[0-9]+$"));
        const QRegularExpressionMatch match = decimal.match(text);
        if (!match.hasMatch())
            return 0;
        return match.captured(1) == u"-" ? std::numeric_limits<int>::min()
                                         : std::numeric_limits<int>::max();
    }
}

TGroupRecord ReadGroupRecord(const QString &text)
{
    const QStringList lines = RecordLines(text);
    if (lines.size() < kGroupRecordLines)
        throw std::runtime_error(_("A group record holds %1 lines instead of %2.")
                                     .arg(lines.size())
                                     .arg(kGroupRecordLines)
                                     .toStdString());
    // Earlier versions stored a description with its line breaks, which spread it over several
    // lines: the id and the colour are the last two lines whatever came before them.
    const qsizetype idLine = lines.size() - 2;
    return {.Count = RecordCount(lines[0]),
            .Description = SingleLine(lines.mid(1, idLine - 1).join(u'\n')),
            .Id = IntegerOr(lines[idLine], kUnreadableGroupId),
            .Color = static_cast<TColor>(StrToInt(lines[idLine + 1]))};
}

[[noreturn]] void CannotOpen(const QString &fileName, const QString &problem)
{
    throw EMeasurementError(_("Cannot open \"%1\": %2").arg(fileName, problem).toStdString());
}

// Keeps the mark's centre and makes it a square of side 2p.
void ResizeMark(TGraphNode &mark, int32_t p)
{
    const TRect bounds = mark.BoundsRect();
    const auto cx = static_cast<int32_t>((int64_t{bounds.Left} + bounds.Right) / 2);
    const auto cy = static_cast<int32_t>((int64_t{bounds.Top} + bounds.Bottom) / 2);
    const TGraphNodeOptions options = mark.NodeOptions();
    // A mark is not resizable by the user; the slider resizes it all the same.
    mark.SetNodeOptions({gnoMovable, gnoResizable, gnoShowBackground});
    // One step rather than width, height, top and left one after another: each size step lays
    // out the caption anew, and the steps between could only move the mark to where the last
    // one puts it.
    mark.SetBounds(cx - p, cy - p, 2 * p, 2 * p);
    mark.SetNodeOptions(options);
}

} // namespace

TGroupRow MakeGroupRow(const QString &description, TColor color, int id, int count,
                       TGroupIdCounter &ids)
{
    return {
        .Id = ids.Take(id), .Description = SingleLine(description), .Color = color, .Count = count};
}

void RebuildGroups(TGraphDocument &graph, const TAddGroup &addGroup)
{
    TGraphObjectList &objects = graph.Objects();
    for (int32_t i = 0; i < objects.Count();) {
        const TGraphObject *object = objects[i];
        if (object->Tag() != kGroupRecordTag) {
            ++i;
            continue;
        }
        addGroup(ReadGroupRecord(object->Text()));
        objects.Delete(i);
    }
}

// The group records are made on a document of their own and written after the marks: inserted
// among the marks, they would reach the canvas, its selection and whatever watches the marks. They
// take the IDs that inserting them there would give them, the first ones after the count that no
// mark has, so that the file is the same.
void SaveMeasurement(const TGraphDocument &graph, const std::vector<QStringList> &records,
                     const QString &fileName, TJobProgress *progress)
{
    const TGraphObjectList &marks = graph.Objects();
    uint32_t nextId = static_cast<uint32_t>(marks.Count());
    TGraphDocument recordDocument;
    recordDocument.SetMinNodeSize(graph.MinNodeSize());
    const TGraphNodeClass *recordClass = TGraphDocument::FindClass("TRectangularNode");
    for (size_t row = 0; row < records.size(); ++row) {
        const int32_t left = static_cast<int32_t>(10 * row);
        TGraphNode *record = recordDocument.InsertNode({left, 0, left + 10, 10}, recordClass);
        if (!record)
            throw std::runtime_error(_("The group record could not be created.").toStdString());
        record->SetText(GroupRecordText(records[row]));
        record->SetTag(kGroupRecordTag);
        do
            ++nextId;
        while (graph.FindObjectByID(nextId));
        record->ReplaceID(record->ID(), nextId);
    }
    const TGraphObjectList &recordObjects = recordDocument.Objects();
    // Written beside the old file and put in its place only when complete.
    TProgressDevice<QSaveFile> file(progress, fileName);
    WriteGraphFile(file, [&](QIODevice &device) {
        TGraphStreamWriter writer(device);
        writer.WriteBytes(GraphStreamSignature, sizeof GraphStreamSignature);
        writer.WriteInt32(marks.Count() + recordObjects.Count());
        for (int32_t i = 0; i < marks.Count(); ++i)
            recordDocument.WriteGraphObject(device, marks[i]);
        for (int32_t i = 0; i < recordObjects.Count(); ++i)
            recordDocument.WriteGraphObject(device, recordObjects[i]);
        return true;
    });
}

QString GroupRecordText(const QStringList &fields)
{
    QString text;
    for (const QString &field : fields)
        text += field + "\r\n";
    return text;
}

QStringList GroupRecordFields(const TGroupRow &group)
{
    return {QString::number(group.Count), group.Description, QString::number(group.Id),
            GroupColorText(group.Color)};
}

void ReadMeasurement(TGraphDocument &graph, const QString &fileName, const TAddGroup &addGroup)
{
    graph.LoadFromFile(fileName);
    RebuildGroups(graph, addGroup);
}

TMeasurementContent ReadMeasurementFile(const QString &fileName, TJobProgress *progress)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        CannotOpen(fileName, file.errorString());
    const QString damaged = _("The file is damaged or is not a measurement file (%1).");
    // A picture or another large file chosen by mistake is refused before it is read whole.
    if (file.peek(sizeof GraphStreamSignature) !=
        QByteArrayView(GraphStreamSignature, sizeof GraphStreamSignature))
        CannotOpen(fileName, damaged.arg(_("Invalid stream content")));
    const QByteArray stream = file.readAll();
    if (file.error() != QFileDevice::NoError)
        CannotOpen(fileName, file.errorString());

    TMeasurementContent content;
    content.Marks = std::make_unique<TGraphDocument>();
    TGraphDocument &check = *content.Marks;
    TProgressDevice<QBuffer> buffer(progress);
    buffer.setData(stream);
    buffer.open(QIODevice::ReadOnly);
    try {
        check.LoadFromStream(buffer);
        RebuildGroups(check, [&](const TGroupRecord &group) { content.Groups.push_back(group); });
    } catch (const ETranslatableError &error) {
        CannotOpen(fileName, damaged.arg(error.Translated()));
    } catch (const std::exception &error) {
        CannotOpen(fileName, damaged.arg(QString::fromUtf8(error.what())));
    }
    const TGraphObjectList &marks = check.Objects();
    content.MarksHidden = marks.Count() > 0;
    for (int32_t i = 0; i < marks.Count() && content.MarksHidden; ++i)
        content.MarksHidden = !marks[i]->Visible();
    return content;
}

void ShowMeasurement(TGraphDocument &graph, TMeasurementContent &content)
{
    const TUpdateBatch batch(graph);
    graph.Clear();
    // The marks checked are the marks shown: the file is not read a second time.
    if (content.Marks)
        graph.TakeOverObjects(*content.Marks);
    content.Marks.reset();
    graph.SettleUnmodified();
}

QString MarkText(int number)
{
    return "#" + QString::number(number);
}

int CountPlus(int count, int added)
{
    return int(std::min<int64_t>(int64_t(count) + added, std::numeric_limits<int>::max()));
}

std::vector<int> RecountMarks(TGraphDocument &graph, const std::vector<TGroupRow> &rows,
                              std::vector<TCaptionChange> *changes)
{
    // The first row of each id is the one its marks count in.
    std::unordered_map<int, size_t> rowOfId;
    for (size_t row = 0; row < rows.size(); ++row)
        rowOfId.emplace(rows[row].Id, row);
    std::vector<int> counts(rows.size(), 0);
    TGraphObjectList &objects = graph.Objects();
    {
        const TUpdateBatch batch(graph);
        for (int32_t i = 0; i < objects.Count(); ++i) {
            const auto row = rowOfId.find(objects[i]->Tag());
            if (row == rowOfId.end())
                continue;
            QString text = MarkText(++counts[row->second]);
            if (changes && objects[i]->Text() != text)
                changes->push_back({objects[i], objects[i]->Text(), text});
            objects[i]->SetText(std::move(text));
        }
    }
    return counts;
}

void ResizeMarks(TGraphDocument &graph, int p)
{
    TGraphObjectList &objects = graph.Objects();
    const int32_t n = objects.Count();
    const TUpdateBatch batch(graph);
    for (int32_t i = 0; i < n && i < objects.Count(); ++i)
        ResizeMarkObject(*objects[i], p);
}

void ResizeMarkObject(TGraphObject &object, int p)
{
    // The mark lays out its caption and reports its new place once, not per property.
    const TUpdateBatch markBatch(object);
    auto *node = dynamic_cast<TGraphNode *>(&object);
    if (node && node->Text().startsWith('#'))
        ResizeMark(*node, p);
    object.Font().SetHeight(MarkFontHeight(p));
}

} // namespace talivo
