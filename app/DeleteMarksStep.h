#pragma once

#include "app/MarkSet.h"
#include "app/Measurement.h"
#include "app/MeasurementStep.h"

#include <vector>

namespace talivo {

// Marks deleted together, and the numbering anew that followed: the captions it changed and the
// counts of every row before and after.
class TDeleteMarksStep : public TMeasurementStep {
public:
    // The marks are out of the document already.
    TDeleteMarksStep(TMeasurementDocument &measurement, const QString &name, TMarkSet marks,
                     std::vector<TCaptionChange> captions, std::vector<int> countsBefore,
                     std::vector<int> countsAfter);

protected:
    void Undo() override;
    void Redo() override;

private:
    TMarkSet fMarks;
    std::vector<TCaptionChange> fCaptions;
    std::vector<int> fCountsBefore;
    std::vector<int> fCountsAfter;
};

} // namespace talivo
