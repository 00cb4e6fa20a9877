#include "app/DeleteMarksStep.h"

#include "app/MeasurementDocument.h"

#include <utility>

namespace talivo {

TDeleteMarksStep::TDeleteMarksStep(TMeasurementDocument &measurement, const QString &name,
                                   TMarkSet marks, std::vector<TCaptionChange> captions,
                                   std::vector<int> countsBefore, std::vector<int> countsAfter)
    : TMeasurementStep(measurement, name), fMarks(std::move(marks)), fCaptions(std::move(captions)),
      fCountsBefore(std::move(countsBefore)), fCountsAfter(std::move(countsAfter))
{}

void TDeleteMarksStep::Undo()
{
    Measurement().PutBackMarks(fMarks);
    Measurement().SetCaptions(fCaptions, false);
    Measurement().Groups().SetCounts(fCountsBefore);
}

void TDeleteMarksStep::Redo()
{
    fMarks.TakeOut(Measurement().Marks());
    Measurement().SetCaptions(fCaptions, true);
    Measurement().Groups().SetCounts(fCountsAfter);
}

} // namespace talivo
