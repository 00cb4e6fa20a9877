#include "graph/objects/GraphObjectList.h"

#include <algorithm>
#include <string>

namespace talivo {

namespace {

[[noreturn]] void RaiseIndexError(int32_t Index)
{
    throw EListError("Index out of range (" + std::to_string(Index) + ")");
}

// A nil entry would read as the end of a walk (Next returns nil there), so it is refused at the
// door rather than silently cutting walks short.
void CheckNotNil(const TGraphObject *Item)
{
    if (!Item) {
        throw EListError("Cannot store a nil object in the list");
    }
}

} // namespace

void TGraphObjectList::CheckIndex(int32_t Index, int32_t Limit) const
{
    if (Index < 0 || Index >= Limit) {
        RaiseIndexError(Index);
    }
}

void TGraphObjectList::SetCapacity(int32_t N)
{
    if (N < 0) {
        throw EListError("Capacity out of range (" + std::to_string(N) + ")");
    }
    if (N == fCapacity) {
        return;
    }
    // One by one from the end, so that every removal is reported and handlers that change the
    // list meanwhile are re-checked against the target.
    while (fCount > N) {
        Delete(fCount - 1);
    }
    MoveGap(fCount);
    fItems.resize(N);
    if (N < fCapacity) {
        fItems.shrink_to_fit();
    }
    fCapacity = N;
}

void TGraphObjectList::Grow()
{
    // Linear growth keeps the many small lists of dependents and link ends tight.
    SetCapacity(fCapacity + (fCount < 64 ? 16 : 8));
}

TGraphObject *TGraphObjectList::Items(int32_t Index) const
{
    CheckIndex(Index, fCount);
    return fItems[Slot(Index)];
}

void TGraphObjectList::MoveGap(int32_t Index)
{
    const int32_t Gap = fCapacity - fCount;
    const auto Begin = fItems.begin();
    if (Index < fGapStart) {
        std::copy_backward(Begin + Index, Begin + fGapStart, Begin + fGapStart + Gap);
    } else if (Index > fGapStart) {
        std::copy(Begin + fGapStart + Gap, Begin + Index + Gap, Begin + fGapStart);
    }
    fGapStart = Index;
}

TGraphObject *TGraphObjectList::TakeOut(int32_t Index)
{
    MoveGap(Index);
    TGraphObject *&Entry = fItems[Slot(Index)];
    TGraphObject *Item = Entry;
    Entry = nullptr;
    --fCount;
    AdjustDeleted(Index, Enum);
    for (int32_t I = 0; I < EnumStackPos; ++I) {
        AdjustDeleted(Index, EnumStack[I]);
    }
    return Item;
}

void TGraphObjectList::PutIn(int32_t Index, TGraphObject *Item)
{
    if (fCount == fCapacity) {
        Grow();
    }
    MoveGap(Index);
    fItems[Index] = Item;
    ++fGapStart;
    ++fCount;
}

int32_t TGraphObjectList::Add(TGraphObject *Item)
{
    CheckNotNil(Item);
    const int32_t Index = fCount;
    PutIn(Index, Item);
    NotifyAction(Item, glAdded);
    return Index;
}

void TGraphObjectList::Insert(int32_t Index, TGraphObject *Item)
{
    CheckIndex(Index, fCount + 1);
    CheckNotNil(Item);
    PutIn(Index, Item);
    NotifyAction(Item, glAdded);
}

void TGraphObjectList::Delete(int32_t Index)
{
    CheckIndex(Index, fCount);
    NotifyAction(TakeOut(Index), glRemoved);
}

int32_t TGraphObjectList::Remove(TGraphObject *Item)
{
    const int32_t Index = IndexOf(Item);
    if (Index >= 0) {
        Delete(Index);
    }
    return Index;
}

void TGraphObjectList::Move(int32_t CurIndex, int32_t NewIndex)
{
    CheckIndex(CurIndex, fCount);
    CheckIndex(NewIndex, fCount);
    if (CurIndex == NewIndex) {
        return;
    }
    // Taken out and put back without reports of their own: listeners see one reordering only.
    TGraphObject *Item = TakeOut(CurIndex);
    PutIn(NewIndex, Item);
    NotifyAction(Item, glReordered);
}

int32_t TGraphObjectList::IndexOf(TGraphObject *Item) const
{
    // From the end: the most recently added objects are the ones looked up most often.
    const int32_t Gap = fCapacity - fCount;
    for (int32_t I = fCount - 1; I >= fGapStart; --I) {
        if (fItems[I + Gap] == Item) {
            return I;
        }
    }
    for (int32_t I = fGapStart - 1; I >= 0; --I) {
        if (fItems[I] == Item) {
            return I;
        }
    }
    return -1;
}

int32_t TGraphObjectList::Replace(TGraphObject *OldItem, TGraphObject *NewItem)
{
    CheckNotNil(NewItem);
    const int32_t Index = IndexOf(OldItem);
    if (Index >= 0) {
        fItems[Slot(Index)] = NewItem;
    }
    return Index;
}

void TGraphObjectList::Clear()
{
    SetCapacity(0);
    EnumStack.clear();
    EnumStackPos = 0;
}

void TGraphObjectList::Assign(const TGraphObjectList &Source)
{
    // Clearing first would empty the very list being copied.
    if (&Source == this) {
        return;
    }
    Clear();
    SetCapacity(Source.Count());
    for (int32_t I = 0; I < Source.Count(); ++I) {
        Add(Source.Items(I));
    }
}

void TGraphObjectList::NotifyAction(TGraphObject *Item, TGraphObjectListAction Action)
{
    if (Item && fOnChange) {
        // A handler may replace itself; the copy keeps the running one alive until it returns.
        const TGraphObjectListEvent Handler = fOnChange;
        Handler(this, Item, Action);
    }
}

void TGraphObjectList::AdjustDeleted(int32_t Index, TListEnumState &State)
{
    // Keeps the next step on the element that followed the deleted one in the walk's direction.
    if (State.Dir != 0 && (Index < State.Current || (State.Dir == 1 && Index == State.Current))) {
        --State.Current;
    }
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

TGraphObject *TGraphObjectList::Step(int32_t Delta)
{
    const int32_t Index = Enum.Current + Delta;
    if (Index >= 0 && Index < fCount) {
        Enum.Current = Index;
        return fItems[Slot(Index)];
    }
    if (Enum.Dir == 0) {
        throw EListError("List enumeration is not initialized");
    }
    Enum = {Index, 0};
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
    if (Enum.Dir == 0) {
        return false;
    }
    if (EnumStackPos == static_cast<int32_t>(EnumStack.size())) {
        EnumStack.resize(EnumStackPos + 1);
    }
    EnumStack[EnumStackPos++] = Enum;
    return true;
}

bool TGraphObjectList::Pop()
{
    if (EnumStackPos == 0) {
        return false;
    }
    Enum = EnumStack[--EnumStackPos];
    return true;
}

} // namespace talivo
