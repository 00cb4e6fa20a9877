#pragma once

#include "app/MarkRecord.h"
#include "app/Measurement.h"
#include "app/MeasurementStep.h"

#include <vector>

namespace talivo {

// Marks deleted together, and the numbering anew that followed: the captions it changed and the
// counts of every row before and after.
class TDeleteMarksStep : public TMeasurementStep {
public:
    TDeleteMarksStep(TMeasurementDocument &measurement, const QString &name, TMarkRecord marks,
                     std::vector<TCaptionChange> captions, std::vector<int> countsBefore,
                     std::vector<int> countsAfter);

protected:
    void Undo() override;
    void Redo() override;

private:
    TMarkRecord fMarks;
    std::vector<TCaptionChange> fCaptions;
    std::vector<int> fCountsBefore;
    std::vector<int> fCountsAfter;
};

} // namespace talivo
