#include "graph/control/GraphControl.h"

#include "graph/objects/GraphNode.h"

#include <algorithm>
#include <limits>

namespace talivo {

namespace {

bool IsOfClass(const TGraphObject *Obj, const TGraphObjectClass *Class)
{
    return !Class || Obj->ClassType().InheritsFrom(*Class);
}

int32_t CountOfClass(const TGraphObjectList &List, const TGraphObjectClass *Class)
{
    if (!Class) {
        return List.Count();
    }
    int32_t Result = 0;
    for (int32_t I = 0; I < List.Count(); ++I) {
        if (IsOfClass(List[I], Class)) {
            ++Result;
        }
    }
    return Result;
}

} // namespace

TGraphObject *TGraphControl::FindObjectByID(uint32_t ID) const
{
    return fDocument.FindObjectByID(ID);
}

uint32_t TGraphControl::CreateUniqueID(TGraphObject *GraphObject)
{
    return fDocument.CreateUniqueID(GraphObject);
}

TGraphNode *TGraphControl::InsertNode(const TRect &Bounds, const TGraphNodeClass *ANodeClass)
{
    return fDocument.InsertNode(Bounds, ANodeClass ? ANodeClass : fDefaultNodeClass);
}

int32_t TGraphControl::FindNextIndex(int32_t StartIndex, bool Inclusive, bool Backward, bool Wrap,
                                     const TGraphObjectClass *GraphObjectClass) const
{
    const int32_t Count = Objects().Count();
    const auto Search = [&](int32_t From, int32_t To, int32_t Step) {
        for (int32_t I = From; Step > 0 ? I <= To : I >= To; I += Step) {
            if (I >= 0 && I < Count && IsOfClass(Objects()[I], GraphObjectClass)) {
                return I;
            }
        }
        return -1;
    };
    int32_t Result;
    if (Backward) {
        const int32_t From = std::min(Inclusive ? StartIndex : StartIndex - 1, Count - 1);
        Result = Search(From, 0, -1);
        if (Result < 0 && Wrap) {
            Result = Search(Count - 1, std::max(StartIndex + 1, 0), -1);
        }
    } else {
        const int32_t From = std::max(Inclusive ? StartIndex : StartIndex + 1, 0);
        Result = Search(From, Count - 1, 1);
        if (Result < 0 && Wrap) {
            Result = Search(0, std::min(StartIndex - 1, Count - 1), 1);
        }
    }
    return Result;
}

TGraphObject *TGraphControl::FindNextObject(int32_t StartIndex, bool Inclusive, bool Backward,
                                            bool Wrap,
                                            const TGraphObjectClass *GraphObjectClass) const
{
    const int32_t Index = FindNextIndex(StartIndex, Inclusive, Backward, Wrap, GraphObjectClass);
    return Index < 0 ? nullptr : Objects()[Index];
}

bool TGraphControl::SelectNextObject(bool Backward, const TGraphObjectClass *GraphObjectClass)
{
    if (Objects().Count() == 0) {
        return false;
    }
    int32_t Index = -1;
    for (int32_t I = 0; I < SelectedObjects().Count(); ++I) {
        if (IsOfClass(SelectedObjects()[I], GraphObjectClass)) {
            Index = Objects().IndexOf(SelectedObjects()[I]);
            break;
        }
    }
    // Stepping over objects that cannot be selected ends when it comes back to the first one it
    // found: then every candidate has been tried.
    int32_t FirstFound = -1;
    TGraphObject *Found = nullptr;
    for (;;) {
        Index = FindNextIndex(Index, false, Backward, true, GraphObjectClass);
        if (Index < 0 || Index == FirstFound) {
            break;
        }
        if (Objects()[Index]->Options().Contains(goSelectable)) {
            Found = Objects()[Index];
            break;
        }
        if (FirstFound < 0) {
            FirstFound = Index;
        }
    }
    if (!Found) {
        return false;
    }
    {
        const TRepaintBatch Batch(*this);
        ClearSelection();
        Found->SetSelected(true);
    }
    ScrollInView(Found);
    return true;
}

int32_t TGraphControl::ObjectsCount(const TGraphObjectClass *GraphObjectClass) const
{
    return CountOfClass(Objects(), GraphObjectClass);
}

int32_t TGraphControl::SelectedObjectsCount(const TGraphObjectClass *GraphObjectClass) const
{
    return CountOfClass(SelectedObjects(), GraphObjectClass);
}

int32_t TGraphControl::ForEachObject(const TGraphForEachMethod &Callback, int32_t UserData,
                                     bool Selection)
{
    TGraphObjectList &List = Selection ? SelectedObjects() : Objects();
    if (!Callback || List.Count() == 0) {
        return 0;
    }
    {
        const TUpdateBatch batch(*this);
        for (TGraphObject *Obj = List.First(); Obj; Obj = List.Next()) {
            // The walk's position is saved around the call, so the callback may remove objects
            // from the list (or walk it itself).
            const bool Pushed = List.Push();
            bool GoOn = false;
            try {
                GoOn = Callback(Obj, UserData);
            } catch (...) {
                if (Pushed) {
                    List.Pop();
                }
                throw;
            }
            if (Pushed) {
                List.Pop();
            }
            if (!GoOn) {
                break;
            }
        }
    }
    return 0;
}

void TGraphControl::Clear()
{
    fDocument.Clear();
}

void TGraphControl::ClearSelection()
{
    const TRepaintBatch Batch(*this);
    fDocument.ClearSelection();
}

bool TGraphControl::AlignSelection(THAlignOption Horz, TVAlignOption Vert)
{
    const int32_t Count = SelectedObjects().Count();
    if (Count <= 1) {
        return false;
    }
    std::vector<TGraphObject *> Selection;
    std::vector<TRect> Before;
    for (int32_t I = 0; I < Count; ++I) {
        Selection.push_back(SelectedObjects()[I]);
        Before.push_back(SelectedObjects()[I]->GetBoundsRect());
    }
    TGraphConstraints &Constraints = GraphConstraints();
    const auto Offset = [&Constraints](TGraphObject *Obj, int32_t dX, int32_t dY,
                                       TObjectSides Sides) {
        Constraints.SetSourceRect(Obj->GetBoundsRect());
        if (Constraints.ConfineOffset(dX, dY, Sides)) {
            Obj->OffsetHitTest(hzBody, dX, dY);
        }
    };
    // Spaces the objects evenly along one axis: First/Last give an edge of a rectangle, Extent
    // its size, Move the offset on that axis; the outermost objects stay.
    const auto Space = [&](auto First, auto Last, auto Move, TObjectSides Sides) {
        std::vector<TGraphObject *> Ordered;
        for (TGraphObject *Obj : Selection) {
            const int32_t Edge = First(Obj->GetBoundsRect());
            const auto Pos = std::find_if(Ordered.begin(), Ordered.end(), [&](TGraphObject *O) {
                return First(O->GetBoundsRect()) > Edge;
            });
            Ordered.insert(Pos, Obj);
        }
        int64_t Extents = 0;
        for (TGraphObject *Obj : Ordered) {
            const TRect B = Obj->GetBoundsRect();
            Extents += int64_t{Last(B)} - First(B);
        }
        const int64_t Span = int64_t{Last(Ordered.back()->GetBoundsRect())} -
                             First(Ordered.front()->GetBoundsRect());
        const int64_t Gap = (Span - Extents) / (static_cast<int64_t>(Ordered.size()) - 1);
        for (size_t I = 1; I + 1 < Ordered.size(); ++I) {
            const int64_t Target = int64_t{Last(Ordered[I - 1]->GetBoundsRect())} + Gap;
            const int64_t Delta = Target - First(Ordered[I]->GetBoundsRect());
            Move(
                Ordered[I],
                static_cast<int32_t>(std::clamp<int64_t>(Delta, std::numeric_limits<int32_t>::min(),
                                                         std::numeric_limits<int32_t>::max())),
                Sides);
        }
    };
    {
        const TUpdateBatch batch(*this);
        if (Horz == haSpaceEqually && Count > 2) {
            Space([](const TRect &R) { return R.Left; }, [](const TRect &R) { return R.Right; },
                  [&](TGraphObject *Obj, int32_t D, TObjectSides S) { Offset(Obj, D, 0, S); },
                  TObjectSides{osLeft, osRight});
        }
        if (Vert == vaSpaceEqually && Count > 2) {
            Space([](const TRect &R) { return R.Top; }, [](const TRect &R) { return R.Bottom; },
                  [&](TGraphObject *Obj, int32_t D, TObjectSides S) { Offset(Obj, 0, D, S); },
                  TObjectSides{osTop, osBottom});
        }
        const TRect Ref = Selection[0]->GetBoundsRect();
        const bool Aligns = Horz != haSpaceEqually || Vert != vaSpaceEqually;
        for (size_t I = 1; Aligns && I < Selection.size(); ++I) {
            const TRect B = Selection[I]->GetBoundsRect();
            int32_t dX = 0;
            int32_t dY = 0;
            switch (Horz) {
            case haLeft:
                dX = Ref.Left - B.Left;
                break;
            case haCenter:
                dX = (Ref.Left + Ref.Right) / 2 - (B.Left + B.Right) / 2;
                break;
            case haRight:
                dX = Ref.Right - B.Right;
                break;
            default:
                break;
            }
            switch (Vert) {
            case vaTop:
                dY = Ref.Top - B.Top;
                break;
            case vaCenter:
                dY = (Ref.Top + Ref.Bottom) / 2 - (B.Top + B.Bottom) / 2;
                break;
            case vaBottom:
                dY = Ref.Bottom - B.Bottom;
                break;
            default:
                break;
            }
            Offset(Selection[I], dX, dY, {osLeft, osTop, osRight, osBottom});
        }
    }
    for (size_t I = 0; I < Selection.size(); ++I) {
        if (Selection[I]->GetBoundsRect() != Before[I]) {
            return true;
        }
    }
    return false;
}

bool TGraphControl::ResizeSelection(TResizeOption Horz, TResizeOption Vert)
{
    const int32_t Count = SelectedObjects().Count();
    if (Count <= 1) {
        return false;
    }
    std::vector<TGraphObject *> Selection;
    std::vector<TRect> Before;
    int32_t MinWidth = std::numeric_limits<int32_t>::max();
    int32_t MaxWidth = std::numeric_limits<int32_t>::min();
    int32_t MinHeight = MinWidth;
    int32_t MaxHeight = MaxWidth;
    for (int32_t I = 0; I < Count; ++I) {
        TGraphObject *Obj = SelectedObjects()[I];
        const TRect B = Obj->GetBoundsRect();
        Selection.push_back(Obj);
        Before.push_back(B);
        MinWidth = std::min(MinWidth, B.Width());
        MaxWidth = std::max(MaxWidth, B.Width());
        MinHeight = std::min(MinHeight, B.Height());
        MaxHeight = std::max(MaxHeight, B.Height());
    }
    const auto Change = [](TResizeOption Option, int32_t Smallest, int32_t Largest, int32_t Size) {
        switch (Option) {
        case roSmallest:
            return Smallest - Size;
        case roLargest:
            return Largest - Size;
        default:
            return 0;
        }
    };
    {
        const TUpdateBatch batch(*this);
        for (TGraphObject *Obj : Selection) {
            const TRect B = Obj->GetBoundsRect();
            int32_t dW = Change(Horz, MinWidth, MaxWidth, B.Width());
            int32_t dH = Change(Vert, MinHeight, MaxHeight, B.Height());
            GraphConstraints().SetSourceRect(B);
            if (GraphConstraints().ConfineOffset(dW, dH, {osRight, osBottom})) {
                Obj->OffsetHitTest(hzBottomRight, dW, dH);
            }
        }
    }
    for (size_t I = 0; I < Selection.size(); ++I) {
        if (Selection[I]->GetBoundsRect() != Before[I]) {
            return true;
        }
    }
    return false;
}

} // namespace talivo
