#include "graph/objects/GraphObjectList.h"

#include <algorithm>
#include <string>

namespace talivo {

namespace {

[[noreturn]] void RaiseIndexError(int32_t index)
{
    throw EListError("Index out of range (" + std::to_string(index) + ")");
}

// A nil entry would read as the end of a walk (Next returns nil there), so it is refused at the
// door rather than silently cutting walks short.
void CheckNotNil(const TGraphObject *item)
{
    if (!item)
        throw EListError("Cannot store a nil object in the list");
}

} // namespace

void TGraphObjectList::CheckIndex(int32_t index, int32_t limit) const
{
    if (index < 0 || index >= limit)
        RaiseIndexError(index);
}

void TGraphObjectList::SetCapacity(int32_t n)
{
    if (n < 0)
        throw EListError("Capacity out of range (" + std::to_string(n) + ")");
    if (n == fCapacity)
        return;
    // One by one from the end, so that every removal is reported and handlers that change the
    // list meanwhile are re-checked against the target.
    while (fCount > n)
        Delete(fCount - 1);
    MoveGap(fCount);
    fItems.resize(n);
    if (n < fCapacity)
        fItems.shrink_to_fit();
    fCapacity = n;
}

void TGraphObjectList::Grow()
{
    // Linear growth keeps the many small lists of dependents and link ends tight.
    SetCapacity(fCapacity + (fCount < 64 ? 16 : 8));
}

TGraphObject *TGraphObjectList::Items(int32_t index) const
{
    CheckIndex(index, fCount);
    return fItems[Slot(index)];
}

void TGraphObjectList::MoveGap(int32_t index)
{
    const int32_t gap = fCapacity - fCount;
    const auto begin = fItems.begin();
    if (index < fGapStart)
        std::copy_backward(begin + index, begin + fGapStart, begin + fGapStart + gap);
    else if (index > fGapStart)
        std::copy(begin + fGapStart + gap, begin + index + gap, begin + fGapStart);
    fGapStart = index;
}

TGraphObject *TGraphObjectList::TakeOut(int32_t index)
{
    MoveGap(index);
    TGraphObject *&entry = fItems[Slot(index)];
    TGraphObject *item = entry;
    entry = nullptr;
    --fCount;
    AdjustDeleted(index, Enum);
    for (int32_t i = 0; i < EnumStackPos; ++i)
        AdjustDeleted(index, EnumStack[i]);
    return item;
}

void TGraphObjectList::PutIn(int32_t index, TGraphObject *item)
{
    if (fCount == fCapacity)
        Grow();
    MoveGap(index);
    fItems[index] = item;
    ++fGapStart;
    ++fCount;
}

int32_t TGraphObjectList::Add(TGraphObject *item)
{
    CheckNotNil(item);
    const int32_t index = fCount;
    PutIn(index, item);
    NotifyAction(item, glAdded);
    return index;
}

void TGraphObjectList::Insert(int32_t index, TGraphObject *item)
{
    CheckIndex(index, fCount + 1);
    CheckNotNil(item);
    PutIn(index, item);
    NotifyAction(item, glAdded);
}

void TGraphObjectList::Delete(int32_t index)
{
    CheckIndex(index, fCount);
    NotifyAction(TakeOut(index), glRemoved);
}

int32_t TGraphObjectList::Remove(TGraphObject *item)
{
    const int32_t index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void TGraphObjectList::Move(int32_t curIndex, int32_t newIndex)
{
    CheckIndex(curIndex, fCount);
    CheckIndex(newIndex, fCount);
    if (curIndex == newIndex)
        return;
    // Taken out and put back without reports of their own: listeners see one reordering only.
    TGraphObject *item = TakeOut(curIndex);
    PutIn(newIndex, item);
    NotifyAction(item, glReordered);
}

int32_t TGraphObjectList::IndexOf(TGraphObject *item) const
{
    // From the end: the most recently added objects are the ones looked up most often.
    const int32_t gap = fCapacity - fCount;
    for (int32_t i = fCount - 1; i >= fGapStart; --i) {
        if (fItems[i + gap] == item)
            return i;
    }
    for (int32_t i = fGapStart - 1; i >= 0; --i) {
        if (fItems[i] == item)
            return i;
    }
    return -1;
}

int32_t TGraphObjectList::Replace(TGraphObject *oldItem, TGraphObject *newItem)
{
    CheckNotNil(newItem);
    const int32_t index = IndexOf(oldItem);
    if (index >= 0)
        fItems[Slot(index)] = newItem;
    return index;
}

void TGraphObjectList::Clear()
{
    SetCapacity(0);
    EnumStack.clear();
    EnumStackPos = 0;
}

void TGraphObjectList::Assign(const TGraphObjectList &source)
{
    // Clearing first would empty the very list being copied.
    if (&source == this)
        return;
    Clear();
    SetCapacity(source.Count());
    for (int32_t i = 0; i < source.Count(); ++i)
        Add(source.Items(i));
}

void TGraphObjectList::NotifyAction(TGraphObject *item, TGraphObjectListAction action)
{
    if (item && fOnChange) {
        // A handler may replace itself; the copy keeps the running one alive until it returns.
        const TGraphObjectListEvent handler = fOnChange;
        handler(this, item, action);
    }
}

void TGraphObjectList::AdjustDeleted(int32_t index, TListEnumState &state)
{
    // Keeps the next step on the element that followed the deleted one in the walk's direction.
    if (state.Dir != 0 && (index < state.Current || (state.Dir == 1 && index == state.Current)))
        --state.Current;
}

TGraphObject *TGraphObjectList::First()
{
    if (fCount == 0) {
        Enum.Dir = 0;
        return nullptr;
    }
    Enum = {0, 1};
    return Items(0);
}

TGraphObject *TGraphObjectList::Last()
{
    if (fCount == 0) {
        Enum.Dir = 0;
        return nullptr;
    }
    Enum = {fCount - 1, -1};
    return Items(fCount - 1);
}

TGraphObject *TGraphObjectList::Step(int32_t delta)
{
    const int32_t index = Enum.Current + delta;
    if (index >= 0 && index < fCount) {
        Enum.Current = index;
        return fItems[Slot(index)];
    }
    if (Enum.Dir == 0)
        throw EListError("List enumeration is not initialized");
    Enum = {index, 0};
    return nullptr;
}

TGraphObject *TGraphObjectList::Next()
{
    return Step(1);
}

TGraphObject *TGraphObjectList::Prior()
{
    return Step(-1);
}

bool TGraphObjectList::Push()
{
    if (Enum.Dir == 0)
        return false;
    if (EnumStackPos == static_cast<int32_t>(EnumStack.size()))
        EnumStack.resize(EnumStackPos + 1);
    EnumStack[EnumStackPos++] = Enum;
    return true;
}

bool TGraphObjectList::Pop()
{
    if (EnumStackPos == 0)
        return false;
    Enum = EnumStack[--EnumStackPos];
    return true;
}

} // namespace talivo
