#pragma once

#include "app/GroupTableModel.h"
#include "app/MeasurementStep.h"

namespace talivo {

// A group put in at a row, with the number its row got.
class TAddGroupStep : public TMeasurementStep {
public:
    TAddGroupStep(TMeasurementDocument &measurement, const QString &name, int row);

protected:
    void Undo() override;
    void Redo() override;

private:
    TPlacedGroup fGroup;
};

} // namespace talivo
