#include "app/MeasurementDocument.h"

#include "app/AddGroupStep.h"
#include "app/AddMarksStep.h"
#include "app/DeleteGroupStep.h"
#include "app/DeleteMarksStep.h"
#include "app/EditGroupStep.h"
#include "app/MarkSet.h"
#include "app/MarkStyle.h"
#include "app/MarkedImage.h"
#include "app/MoveMarksStep.h"
#include "app/ProposedMarks.h"
#include "graph/objects/UpdateBatch.h"
#include "platform/TranslatableError.h"

#include <QStringList>
#include <unordered_set>

namespace talivo {

TMeasurementDocument::TMeasurementDocument()
{
    PrepareDocument(fOwnMarks);
    QObject::connect(&fHistory, &QUndoStack::indexChanged, [this] { Changed(); });
    QObject::connect(&fHistory, &QUndoStack::cleanChanged, [this] { Changed(); });
}

TMeasurementDocument::~TMeasurementDocument()
{
    // The history reports its clearing as it goes; nobody is to hear of it from a measurement
    // that is going.
    QObject::disconnect(&fHistory, nullptr, nullptr, nullptr);
    // Marks that steps hold out of the document go before the document does.
    fHistory.clear();
}

void TMeasurementDocument::Changed()
{
    if (OnChanged)
        OnChanged();
}

void TMeasurementDocument::MarkChanged()
{
    fChangedBeyondHistory = true;
    Changed();
}

void TMeasurementDocument::MarkSaved()
{
    fChangedBeyondHistory = false;
    fHistory.setClean();
    Changed();
}

void TMeasurementDocument::StartHistory(bool unsaved)
{
    fHistory.clear();
    fChangedBeyondHistory = unsaved;
    Changed();
}

int TMeasurementDocument::AddGroup(const QString &description, TColor color, int id, int count)
{
    return fGroups.Append(MakeGroupRow(description, color, id, count, *fIds));
}

namespace {

constexpr TColor kUnknownGroupColor = 0x00FF0000;
constexpr std::string_view kMarkClass = "TCircularNode";

std::vector<int> CountsOf(const TGroupTableModel &groups)
{
    std::vector<int> counts;
    counts.reserve(groups.Rows().size());
    for (const TGroupRow &group : groups.Rows())
        counts.push_back(group.Count);
    return counts;
}

} // namespace

TGraphNode &TMeasurementDocument::AddMark(TPoint centre, int32_t r, int groupId, int pointSize)
{
    const int row = fGroups.RowOfGroup(groupId);
    const TColor color = row >= 0 ? fGroups.Color(row) : kUnknownGroupColor;
    const int before = row >= 0 ? fGroups.Count(row) : 0;
    const int number = row >= 0 ? CountPlus(before, 1) : 0;
    TGraphNode &mark = InsertMark(*fMarks, centre, r, groupId, color,
                                  row >= 0 ? MarkText(number) : QString(), pointSize);
    if (row >= 0)
        fGroups.SetCount(row, number);
    fHistory.push(new TAddMarksStep(*this, N_("add mark"), {&mark}, groupId, before, number));
    return mark;
}

int TMeasurementDocument::AddMarks(const std::vector<TPoint> &points, int groupId, int32_t r,
                                   int pointSize)
{
    const int row = fGroups.RowOfGroup(groupId);
    if (row < 0)
        return 0;
    const TGroupRow group = fGroups.Group(row);
    const TGraphObjectList &objects = fMarks->Objects();
    const int32_t first = objects.Count();
    const int added = AddProposedMarks(*fMarks, points, group, r, pointSize);
    if (added <= 0)
        return 0;
    const int after = CountPlus(group.Count, added);
    fGroups.SetCount(row, after);
    std::vector<TGraphObject *> marks;
    marks.reserve(static_cast<size_t>(added));
    for (int32_t i = first; i < objects.Count(); ++i)
        marks.push_back(objects[i]);
    fHistory.push(
        new TAddMarksStep(*this, N_("add detected marks"), marks, groupId, group.Count, after));
    return added;
}

bool TMeasurementDocument::DeleteMarks(const std::vector<TGraphObject *> &marks)
{
    std::vector<TGraphObject *> deleted;
    deleted.reserve(marks.size());
    for (TGraphObject *mark : marks) {
        if (mark->CanDelete())
            deleted.push_back(mark);
    }
    if (deleted.empty())
        return false;
    TMarkSet set(deleted);
    std::vector<int> before = CountsOf(fGroups);
    std::vector<TCaptionChange> captions;
    std::vector<int> after;
    {
        // Numbered once all are gone: numbering after each would make a band over many marks
        // quadratic, and ends in the same numbers.
        const TUpdateBatch batch(*fMarks);
        set.TakeOut(*fMarks);
        after = RecountMarks(*fMarks, fGroups.Rows(), &captions);
    }
    fGroups.SetCounts(after);
    fHistory.push(new TDeleteMarksStep(
        *this, deleted.size() == 1 ? N_("delete mark") : N_("delete marks"), std::move(set),
        std::move(captions), std::move(before), std::move(after)));
    return true;
}

void TMeasurementDocument::MarksMoved(const std::vector<TNodePlace> &before, int keyRun)
{
    if (before.empty())
        return;
    std::vector<TMoveMarksStep::TMove> moves;
    moves.reserve(before.size());
    bool resized = false;
    for (const TNodePlace &place : before) {
        const TRect after = place.Node->GetBoundsRect();
        resized = resized || after.Width() != place.Bounds.Width() ||
                  after.Height() != place.Bounds.Height();
        moves.push_back({place.Node->ID(), place.Bounds, after});
    }
    const bool one = moves.size() == 1;
    const QString name = resized ? (one ? N_("resize mark") : N_("resize marks"))
                                 : (one ? N_("move mark") : N_("move marks"));
    fHistory.push(new TMoveMarksStep(*this, name, std::move(moves), keyRun));
}

int TMeasurementDocument::NewGroup(const QString &description, TColor color, int id, int count)
{
    const int row = AddGroup(description, color, id, count);
    fHistory.push(new TAddGroupStep(*this, N_("add group"), row));
    return row;
}

void TMeasurementDocument::EditGroup(int row, const QString &description, TColor color)
{
    const int id = fGroups.Id(row);
    std::vector<TEditGroupStep::TMarkColors> marksBefore;
    std::vector<uint32_t> ids;
    const TGraphObjectList &objects = fMarks->Objects();
    for (int32_t i = 0; i < objects.Count(); ++i) {
        TGraphObject *mark = objects[i];
        if (mark->Tag() != id)
            continue;
        marksBefore.push_back(
            {mark->ID(), mark->Brush().Color(), mark->Pen().Color(), mark->Font().Color()});
        ids.push_back(mark->ID());
    }
    TEditGroupStep::TLooks before{fGroups.Description(row), fGroups.Color(row)};
    fGroups.SetDescription(row, description);
    fGroups.SetColor(row, color);
    ColorMarks(ids, color);
    fHistory.push(new TEditGroupStep(*this, N_("edit group"), row, std::move(before),
                                     {description, color}, std::move(marksBefore)));
}

void TMeasurementDocument::DeleteGroup(int row)
{
    const int id = fGroups.Id(row);
    std::vector<TGraphObject *> marks;
    const TGraphObjectList &objects = fMarks->Objects();
    for (int32_t i = 0; i < objects.Count(); ++i) {
        if (objects[i]->ClassName() == kMarkClass && objects[i]->Tag() == id)
            marks.push_back(objects[i]);
    }
    TMarkSet set(std::move(marks));
    set.TakeOut(*fMarks);
    auto *step = new TDeleteGroupStep(*this, N_("delete group"), row, std::move(set));
    fGroups.Remove(row);
    fHistory.push(step);
}

void TMeasurementDocument::PutBackMarks(TMarkSet &set)
{
    const TUpdateBatch batch(*fMarks);
    const std::vector<TGraphObject *> marks = set.PutBack(*fMarks);
    if (OnMarkPutBack) {
        for (TGraphObject *mark : marks)
            OnMarkPutBack(*mark);
    }
}

void TMeasurementDocument::SetCaptions(const std::vector<TCaptionChange> &changes, bool after)
{
    const TUpdateBatch batch(*fMarks);
    for (const TCaptionChange &change : changes)
        change.Mark->SetText(after ? change.After : change.Before);
}

void TMeasurementDocument::ColorMarks(const std::vector<uint32_t> &ids, TColor color)
{
    const TColor textColor = MarkTextColor(color);
    const TUpdateBatch batch(*fMarks);
    for (const uint32_t id : ids) {
        if (TGraphObject *mark = fMarks->FindObjectByID(id)) {
            mark->Brush().SetColor(color);
            mark->Pen().SetColor(color);
            mark->Font().SetColor(textColor);
        }
    }
}

void TMeasurementDocument::AddGroup(const TGroupRecord &record)
{
    AddGroup(record.Description, record.Color, record.Id, record.Count);
}

void TMeasurementDocument::Read(const QString &fileName)
{
    fGroups.Clear();
    ReadMeasurement(*fMarks, fileName, [this](const TGroupRecord &record) { AddGroup(record); });
}

void TMeasurementDocument::Show(TMeasurementContent &content)
{
    fGroups.Clear();
    ShowMeasurement(*fMarks, content);
    for (const TGroupRecord &record : content.Groups)
        AddGroup(record);
}

void TMeasurementDocument::Open(const QString &fileName, TJobProgress *progress)
{
    TMeasurementContent content = ReadMeasurementFile(fileName, progress);
    Show(content);
}

void TMeasurementDocument::Save(const QString &fileName, TJobProgress *progress) const
{
    std::vector<QStringList> records;
    records.reserve(fGroups.Rows().size());
    for (const TGroupRow &group : fGroups.Rows())
        records.push_back(GroupRecordFields(group));
    SaveMeasurement(*fMarks, records, fileName, progress);
}

void TMeasurementDocument::RebuildGroups()
{
    talivo::RebuildGroups(*fMarks, [this](const TGroupRecord &record) { AddGroup(record); });
}

int TMeasurementDocument::MarkCount() const
{
    return fMarks->Objects().Count();
}

int TMeasurementDocument::MarksWithoutGroup() const
{
    std::unordered_set<int> ids;
    for (const TGroupRow &group : fGroups.Rows())
        ids.insert(group.Id);
    int count = 0;
    const TGraphObjectList &objects = fMarks->Objects();
    for (int32_t i = 0; i < objects.Count(); ++i)
        count += ids.contains(objects[i]->Tag()) ? 0 : 1;
    return count;
}

std::vector<int> TMeasurementDocument::Recount()
{
    return RecountMarks(*fMarks, fGroups.Rows());
}

} // namespace talivo
