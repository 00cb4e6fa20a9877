#include "app/EditGroupStep.h"

#include "app/MeasurementDocument.h"
#include "graph/objects/UpdateBatch.h"

#include <utility>

namespace talivo {

TEditGroupStep::TEditGroupStep(TMeasurementDocument &measurement, const QString &name, int row,
                               TLooks before, TLooks after, std::vector<TMarkColors> marksBefore)
    : TMeasurementStep(measurement, name), fRow(row), fBefore(std::move(before)),
      fAfter(std::move(after)), fMarksBefore(std::move(marksBefore))
{}

void TEditGroupStep::Undo()
{
    SetLooks(fBefore);
    TGraphDocument &marks = Measurement().Marks();
    const TUpdateBatch batch(marks);
    for (const TMarkColors &colors : fMarksBefore) {
        if (TGraphObject *mark = marks.FindObjectByID(colors.Id)) {
            mark->Brush().SetColor(colors.Brush);
            mark->Pen().SetColor(colors.Pen);
            mark->Font().SetColor(colors.Text);
        }
    }
}

void TEditGroupStep::Redo()
{
    SetLooks(fAfter);
    std::vector<uint32_t> ids;
    ids.reserve(fMarksBefore.size());
    for (const TMarkColors &colors : fMarksBefore)
        ids.push_back(colors.Id);
    Measurement().ColorMarks(ids, fAfter.Color);
}

void TEditGroupStep::SetLooks(const TLooks &looks) const
{
    TGroupTableModel &groups = Measurement().Groups();
    groups.SetDescription(fRow, looks.Description);
    groups.SetColor(fRow, looks.Color);
}

} // namespace talivo
