#include "graph/objects/GraphHost.h"

namespace talivo {

const TFont &TGraphHost::Font() const
{
    static const TFont font;
    return font;
}

const TPoint &TGraphHost::DragTargetPt() const
{
    static const TPoint none;
    return none;
}

} // namespace talivo
