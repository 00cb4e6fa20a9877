#include "app/DeleteGroupStep.h"

#include "app/MeasurementDocument.h"

#include <utility>

namespace talivo {

TDeleteGroupStep::TDeleteGroupStep(TMeasurementDocument &measurement, const QString &name,
                                   int row, TMarkSet marks)
    : TMeasurementStep(measurement, name), fRow(row), fGroup(measurement.Groups().Group(row)),
      fNumber(measurement.Groups().Number(row)), fMarks(std::move(marks))
{
}

void TDeleteGroupStep::Undo()
{
    Measurement().Groups().Insert(fRow, fGroup, fNumber);
    Measurement().PutBackMarks(fMarks);
}

void TDeleteGroupStep::Redo()
{
    fMarks.TakeOut(Measurement().Marks());
    Measurement().Groups().Remove(fRow);
}

} // namespace talivo
