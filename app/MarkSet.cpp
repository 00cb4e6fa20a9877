#include "app/MarkSet.h"

#include <utility>

namespace talivo {

TMarkSet::TMarkSet(std::vector<TGraphObject *> marks) : fMarks(std::move(marks)) {}

TMarkSet::~TMarkSet()
{
    for (const TPlacedObject &placed : fOut)
        TGraphObject::Free(placed.Object);
}

TMarkSet::TMarkSet(TMarkSet &&other) noexcept
    : fMarks(std::move(other.fMarks)), fOut(std::exchange(other.fOut, {}))
{}

void TMarkSet::TakeOut(TGraphDocument &marks)
{
    if (!fOut.empty())
        return;
    marks.TakeOutObjects(fMarks, fOut);
}

std::vector<TGraphObject *> TMarkSet::PutBack(TGraphDocument &marks)
{
    const std::vector<TPlacedObject> out = std::exchange(fOut, {});
    marks.PutBackObjects(out);
    std::vector<TGraphObject *> back;
    back.reserve(out.size());
    for (const TPlacedObject &placed : out)
        back.push_back(placed.Object);
    return back;
}

} // namespace talivo
