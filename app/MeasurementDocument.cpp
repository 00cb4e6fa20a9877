#include "app/MeasurementDocument.h"

#include "app/MarkedImage.h"

#include <QStringList>
#include <unordered_set>

namespace talivo {

TMeasurementDocument::TMeasurementDocument()
{
    PrepareDocument(fOwnMarks);
    QObject::connect(&fHistory, &QUndoStack::indexChanged, [this] { Changed(); });
    QObject::connect(&fHistory, &QUndoStack::cleanChanged, [this] { Changed(); });
}

TMeasurementDocument::~TMeasurementDocument() = default;

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

void TMeasurementDocument::Save(const QString &fileName, TJobProgress *progress)
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
