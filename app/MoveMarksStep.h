#pragma once

#include "app/MeasurementStep.h"
#include "graph/canvas/Types.h"

#include <cstdint>
#include <vector>

namespace talivo {

// Marks moved or resized by one drag, or by a run of arrow keys: the steps of one run that move
// the same marks become one. Taking the step back or again moves each edge of a mark by what the
// step moved it.
class TMoveMarksStep : public TMeasurementStep {
public:
    struct TMove {
        uint32_t Id = 0;
        TRect Before;
        TRect After;
    };

    // keyRun: the run of arrow keys the move belongs to, or -1 for a drag.
    TMoveMarksStep(TMeasurementDocument &measurement, const QString &name, std::vector<TMove> moves,
                   int keyRun);

    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

protected:
    void Undo() override;
    void Redo() override;

private:
    void Place(bool after) const;

    std::vector<TMove> fMoves;
    int fKeyRun;
};

} // namespace talivo
