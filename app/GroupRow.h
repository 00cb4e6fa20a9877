#pragma once

#include "graph/Types.h"

#include <QString>

namespace talivo {

// A group as values: the id that ties marks to it, its description and colour, and the number
// of its marks.
struct TGroupRow {
    int Id = 0;
    QString Description;
    TColor Color = 0;
    int Count = 0;
};

} // namespace talivo
