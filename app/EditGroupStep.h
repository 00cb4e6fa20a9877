#pragma once

#include "app/MeasurementStep.h"
#include "graph/canvas/Types.h"

#include <cstdint>
#include <vector>

namespace talivo {

// A group's description and colour changed, and with the colour its marks'.
class TEditGroupStep : public TMeasurementStep {
public:
    struct TLooks {
        QString Description;
        TColor Color = 0;
    };
    // A mark's colours as they were.
    struct TMarkColors {
        uint32_t Id = 0;
        TColor Brush = 0;
        TColor Pen = 0;
        TColor Text = 0;
    };

    TEditGroupStep(TMeasurementDocument &measurement, const QString &name, int row, TLooks before,
                   TLooks after, std::vector<TMarkColors> marksBefore);

protected:
    void Undo() override;
    void Redo() override;

private:
    void SetLooks(const TLooks &looks) const;

    int fRow;
    TLooks fBefore;
    TLooks fAfter;
    std::vector<TMarkColors> fMarksBefore;
};

} // namespace talivo
