#pragma once

#include "graph/canvas/Types.h"

#include <QString>
#include <cstdint>

namespace talivo {

// A group as values: the id that ties marks to it, its description and colour, and the number
// of its marks.
struct TGroupRow {
    int Id = 0;
    QString Description;
    TColor Color = 0;
    int Count = 0;
};

// A group colour as the table shows it and the files store it: the 32 bits as a signed decimal
// number.
inline QString GroupColorText(TColor color)
{
    return QString::number(static_cast<int32_t>(color));
}

} // namespace talivo
