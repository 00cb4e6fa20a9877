#include "app/GroupIdCounter.h"

#include <limits>

namespace talivo {

int TGroupIdCounter::Take(int id)
{
    const int taken = id > 0 ? id : fNext;
    if (fNext < id)
        fNext = id;
    // A stored id at the top of the range must not overflow the counter; it stays there.
    if (fNext < std::numeric_limits<int>::max())
        ++fNext;
    return taken;
}

TGroupIdCounter &TGroupIdCounter::Program()
{
    static TGroupIdCounter counter;
    return counter;
}

} // namespace talivo
