#include "app/DeleteGroupStep.h"

#include "app/MeasurementDocument.h"

#include <utility>

namespace talivo {

TDeleteGroupStep::TDeleteGroupStep(TMeasurementDocument &measurement, const QString &name, int row,
                                   TMarkSet marks)
    : TMeasurementStep(measurement, name), fGroup(measurement.Groups().Placed(row)),
      fMarks(std::move(marks))
{}

void TDeleteGroupStep::Undo()
{
    Measurement().Groups().Insert(fGroup);
    Measurement().PutBackMarks(fMarks);
}

void TDeleteGroupStep::Redo()
{
    fMarks.TakeOut(Measurement().Marks());
    Measurement().Groups().Remove(fGroup.Row);
}

} // namespace talivo
