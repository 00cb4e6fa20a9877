#pragma once

#include "app/GroupTableModel.h"
#include "app/MarkSet.h"
#include "app/MeasurementStep.h"

namespace talivo {

// A group row deleted together with its marks.
class TDeleteGroupStep : public TMeasurementStep {
public:
    // Taken before the row goes, once its marks are out of the document.
    TDeleteGroupStep(TMeasurementDocument &measurement, const QString &name, int row,
                     TMarkSet marks);

protected:
    void Undo() override;
    void Redo() override;

private:
    TPlacedGroup fGroup;
    TMarkSet fMarks;
};

} // namespace talivo
