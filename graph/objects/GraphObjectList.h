#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace talivo {

class TGraphObject;
class TGraphObjectList;

class EListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TGraphObjectListAction { glAdded, glRemoved, glReordered };

// Position of a walk over the list. Dir is 1 forwards, -1 backwards, 0 when no walk runs.
struct TListEnumState {
    int32_t Current = 0;
    int32_t Dir = 0;
};

using TGraphObjectListEvent = std::function<void(
    TGraphObjectList *sender, TGraphObject *graphObject, TGraphObjectListAction action)>;

// Ordered list of object references (z-order, selection, dependents). It never owns or touches the
// objects: freeing them is the owner's business. Its walk survives deletions made while walking,
// so code called from inside a walk may remove objects from the same list.
//
// The free slots are kept where the last edit happened (a gap buffer), so a run of deletions or
// insertions that moves steadily through the list (from the front, from the back, or down a list
// in order) moves every item at most once instead of shifting the whole tail each time.
class TGraphObjectList {
public:
    TGraphObjectList() = default;
    virtual ~TGraphObjectList() = default;
    TGraphObjectList(const TGraphObjectList &) = delete;
    TGraphObjectList &operator=(const TGraphObjectList &) = delete;

    int32_t Count() const { return fCount; }
    int32_t Capacity() const { return fCapacity; }
    void SetCapacity(int32_t n);
    TGraphObject *Items(int32_t index) const;
    TGraphObject *operator[](int32_t index) const { return Items(index); }

    const TGraphObjectListEvent &OnChange() const { return fOnChange; }
    void SetOnChange(TGraphObjectListEvent handler) { fOnChange = std::move(handler); }

    int32_t Add(TGraphObject *item);
    void Insert(int32_t index, TGraphObject *item);
    void Delete(int32_t index);
    int32_t Remove(TGraphObject *item);
    void Move(int32_t curIndex, int32_t newIndex);
    int32_t IndexOf(TGraphObject *item) const;
    void Clear();
    void Assign(const TGraphObjectList &source);

    TGraphObject *First();
    TGraphObject *Next();
    TGraphObject *Prior();
    TGraphObject *Last();
    bool Push();
    bool Pop();

protected:
    virtual void NotifyAction(TGraphObject *item, TGraphObjectListAction action);

    void Grow();
    int32_t Replace(TGraphObject *oldItem, TGraphObject *newItem);

private:
    // Capacity slots: the items before the gap, Capacity - Count free slots from fGapStart, then
    // the items after the gap.
    std::vector<TGraphObject *> fItems;
    int32_t fCount = 0;
    int32_t fCapacity = 0;
    int32_t fGapStart = 0;
    TGraphObjectListEvent fOnChange;
    TListEnumState Enum;
    std::vector<TListEnumState> EnumStack;
    int32_t EnumStackPos = 0;

    static void AdjustDeleted(int32_t index, TListEnumState &state);
    int32_t Slot(int32_t index) const
    {
        return index < fGapStart ? index : index + (fCapacity - fCount);
    }
    void MoveGap(int32_t index);
    void CheckIndex(int32_t index, int32_t limit) const;
    TGraphObject *TakeOut(int32_t index);
    void PutIn(int32_t index, TGraphObject *item);
    TGraphObject *Step(int32_t delta);
};

} // namespace talivo
