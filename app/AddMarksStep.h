#pragma once

#include "app/MarkSet.h"
#include "app/MeasurementStep.h"

#include <vector>

namespace talivo {

// Marks added to the end of the marks, all of one group, whose count went from countBefore to
// countAfter.
class TAddMarksStep : public TMeasurementStep {
public:
    TAddMarksStep(TMeasurementDocument &measurement, const QString &name,
                  const std::vector<TGraphObject *> &added, int groupId, int countBefore,
                  int countAfter);

protected:
    void Undo() override;
    void Redo() override;

private:
    void SetCount(int count) const;

    TMarkSet fMarks;
    int fGroupId;
    int fCountBefore;
    int fCountAfter;
};

} // namespace talivo
