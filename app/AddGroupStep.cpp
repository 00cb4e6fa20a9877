#include "app/AddGroupStep.h"

#include "app/MeasurementDocument.h"

namespace talivo {

TAddGroupStep::TAddGroupStep(TMeasurementDocument &measurement, const QString &name, int row)
    : TMeasurementStep(measurement, name), fGroup(measurement.Groups().Placed(row))
{}

void TAddGroupStep::Undo()
{
    Measurement().Groups().Remove(fGroup.Row);
}

void TAddGroupStep::Redo()
{
    Measurement().Groups().Insert(fGroup);
}

} // namespace talivo
