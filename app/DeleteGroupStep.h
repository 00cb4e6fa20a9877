#pragma once

#include "app/GroupRow.h"
#include "app/MarkRecord.h"
#include "app/MeasurementStep.h"

namespace talivo {

// A group row deleted together with its marks.
class TDeleteGroupStep : public TMeasurementStep {
public:
    // Taken before the row and the marks go.
    TDeleteGroupStep(TMeasurementDocument &measurement, const QString &name, int row,
                     TMarkRecord marks);

protected:
    void Undo() override;
    void Redo() override;

private:
    int fRow;
    TGroupRow fGroup;
    int fNumber;
    TMarkRecord fMarks;
};

} // namespace talivo
