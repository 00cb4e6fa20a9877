#include "app/AddMarksStep.h"

#include "app/MeasurementDocument.h"

namespace talivo {

TAddMarksStep::TAddMarksStep(TMeasurementDocument &measurement, const QString &name,
                             const std::vector<TGraphObject *> &added, int groupId, int countBefore,
                             int countAfter)
    : TMeasurementStep(measurement, name), fMarks(added), fGroupId(groupId),
      fCountBefore(countBefore), fCountAfter(countAfter)
{}

void TAddMarksStep::Undo()
{
    fMarks.TakeOut(Measurement().Marks());
    SetCount(fCountBefore);
}

void TAddMarksStep::Redo()
{
    Measurement().PutBackMarks(fMarks);
    SetCount(fCountAfter);
}

void TAddMarksStep::SetCount(int count) const
{
    TGroupTableModel &groups = Measurement().Groups();
    if (const int row = groups.RowOfGroup(fGroupId); row >= 0)
        groups.SetCount(row, count);
}

} // namespace talivo
