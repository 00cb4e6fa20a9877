#include "app/MeasurementStep.h"

#include <utility>

namespace talivo {

TMeasurementStep::TMeasurementStep(TMeasurementDocument &measurement, const QString &name)
    : fMeasurement(measurement)
{
    setText(name);
}

void TMeasurementStep::redo()
{
    if (!std::exchange(fTaken, false))
        Redo();
}

} // namespace talivo
