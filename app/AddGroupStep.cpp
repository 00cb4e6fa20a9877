#include "app/AddGroupStep.h"

#include "app/MeasurementDocument.h"

namespace talivo {

TAddGroupStep::TAddGroupStep(TMeasurementDocument &measurement, const QString &name, int row)
    : TMeasurementStep(measurement, name), fRow(row), fGroup(measurement.Groups().Group(row)),
      fNumber(measurement.Groups().Number(row))
{
}

void TAddGroupStep::Undo()
{
    Measurement().Groups().Remove(fRow);
}

void TAddGroupStep::Redo()
{
    Measurement().Groups().Insert(fRow, fGroup, fNumber);
}

} // namespace talivo
