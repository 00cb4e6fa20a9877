#include "app/MoveMarksStep.h"

#include "app/MeasurementDocument.h"
#include "graph/canvas/GraphUtils.h"
#include "graph/objects/UpdateBatch.h"

#include <algorithm>
#include <utility>

namespace talivo {

namespace {

constexpr int kKeyMoveId = 1;

} // namespace

TMoveMarksStep::TMoveMarksStep(TMeasurementDocument &measurement, const QString &name,
                               std::vector<TMove> moves, int keyRun)
    : TMeasurementStep(measurement, name), fMoves(std::move(moves)), fKeyRun(keyRun)
{}

int TMoveMarksStep::id() const
{
    return fKeyRun >= 0 ? kKeyMoveId : -1;
}

bool TMoveMarksStep::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const TMoveMarksStep *>(other);
    if (!next || next->fKeyRun != fKeyRun || next->fMoves.size() != fMoves.size())
        return false;
    for (size_t i = 0; i < fMoves.size(); ++i) {
        if (next->fMoves[i].Id != fMoves[i].Id)
            return false;
    }
    for (size_t i = 0; i < fMoves.size(); ++i)
        fMoves[i].After = next->fMoves[i].After;
    // Keys that brought every mark back to where the run began leave nothing to take back.
    setObsolete(std::all_of(fMoves.cbegin(), fMoves.cend(),
                            [](const TMove &move) { return move.Before == move.After; }));
    return true;
}

void TMoveMarksStep::Undo()
{
    Place(false);
}

void TMoveMarksStep::Redo()
{
    Place(true);
}

void TMoveMarksStep::Place(bool after) const
{
    TGraphDocument &marks = Measurement().Marks();
    const TUpdateBatch batch(marks);
    for (const TMove &move : fMoves) {
        TGraphObject *mark = marks.FindObjectByID(move.Id);
        if (!mark)
            continue;
        // Each edge goes the way the step took it. The point-size slider may have resized every
        // mark since, and a mark taken back keeps the size all the others have now.
        const TRect &from = after ? move.Before : move.After;
        const TRect &to = after ? move.After : move.Before;
        const TRect now = mark->BoundsRect();
        const auto shift = [](int32_t edge, int32_t toEdge, int32_t fromEdge) {
            return AddWrapped(edge, int64_t{toEdge} - fromEdge);
        };
        mark->SetBoundsRect({shift(now.Left, to.Left, from.Left), shift(now.Top, to.Top, from.Top),
                             shift(now.Right, to.Right, from.Right),
                             shift(now.Bottom, to.Bottom, from.Bottom)});
    }
}

} // namespace talivo
