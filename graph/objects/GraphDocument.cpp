#include "graph/objects/GraphDocument.h"

#include "graph/canvas/Canvas.h"
#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphClasses.h"
#include "graph/objects/GraphNode.h"
#include "graph/objects/UpdateBatch.h"
#include "graph/stream/GraphProperties.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

namespace talivo {

TGraphDocument::TGraphDocument()
{
    RegisterGraphClasses();
    fObjects.SetOnChange([this](TGraphObjectList *, TGraphObject *obj,
                                TGraphObjectListAction action) { ObjectListChanged(obj, action); });
    fSelectedObjects.SetOnChange(
        [this](TGraphObjectList *, TGraphObject *obj, TGraphObjectListAction action) {
            SelectedListChanged(obj, action);
        });
}

TGraphDocument::~TGraphDocument()
{
    FreeObjects();
    fSelectedObjects.SetOnChange(nullptr);
    fObjects.SetOnChange(nullptr);
}

void TGraphDocument::FreeObjects()
{
    if (!fDestroying) {
        fDestroying = true;
        ++fSuspendQueryEvents;
        ++fUpdateCount;
    }
    // Destructors must not throw: a handler that fails while the objects go cannot stop them.
    while (fObjects.Count() > 0) {
        try {
            fObjects.Delete(fObjects.Count() - 1);
        } catch (...) {
        }
    }
}

void TGraphDocument::ObjectListChanged(TGraphObject *obj, TGraphObjectListAction action)
{
    if (obj->Owner() != this) {
        if (action == glAdded)
            fObjects.Remove(obj);
        return;
    }
    switch (action) {
    case glAdded:
        Listed(obj);
        fHost->DoObjectInsert(obj);
        ObjectChanged(obj, {gcView, gcData, gcPlacement}, fHost->ObjectAdded(obj));
        break;
    case glRemoved:
        Unlisted(obj);
        try {
            fHost->ObjectRemoved(obj);
            obj->SetSelected(false);
            fHost->DoObjectRemove(obj);
            ObjectChanged(obj, {gcView, gcData, gcPlacement});
        } catch (...) {
            // The object has left the document: it goes even when a handler fails.
            if (!obj->HasState(osDestroying) && !fHandingOver)
                TGraphObject::Free(obj);
            throw;
        }
        if (!obj->HasState(osDestroying) && !fHandingOver)
            TGraphObject::Free(obj);
        break;
    case glReordered:
        fObjectIndex.Reordered();
        ObjectChanged(obj, {gcView, gcData});
        break;
    }
}

void TGraphDocument::SelectedListChanged(TGraphObject *obj, TGraphObjectListAction action)
{
    if (obj->Owner() == this && (action == glRemoved || obj->Selected())) {
        TrackSelectionOrder(obj, action);
        if (action == glRemoved && obj->fSelected) {
            obj->fSelected = false;
            obj->Changed({gcView});
        }
        fHost->SelectionChanged(obj);
        fHost->DoObjectSelect(obj);
    } else if (action == glAdded) {
        fSelectedObjects.Remove(obj);
    }
}

void TGraphDocument::BeginUpdate()
{
    if (fUpdateCount == 0) {
        fSaveModified = TSaveModified::None;
        fHost->UpdateBegun();
    }
    ++fUpdateCount;
}

void TGraphDocument::EndUpdate()
{
    --fUpdateCount;
    if (fUpdateCount != 0 || fDestroying)
        return;
    fHost->UpdateEnded();
    if (fSaveModified != TSaveModified::None) {
        fModified = fSaveModified == TSaveModified::Modified;
        fHost->DoGraphChange();
    }
}

void TGraphDocument::ObjectChanged(TGraphObject *obj, TGraphChangeFlags flags, bool boundsKnown)
{
    if (fDestroying)
        return;
    fHost->ShowObjectChange(obj, flags, boundsKnown);
    if (flags.Contains(gcData) && !fHost->AccountsModification(fUpdateCount > 0)) {
        if (fUpdateCount > 0)
            fSaveModified = TSaveModified::Modified;
        else
            MarkModified();
    }
    if (flags.Contains(gcView))
        obj->Invalidate();
}

TGraphNode *TGraphDocument::InsertNode(const TRect &bounds, const TGraphNodeClass *nodeClass)
{
    if (!nodeClass || !nodeClass->IsNode())
        return nullptr;
    try {
        return static_cast<TGraphNode *>(nodeClass->CreateNew(this, bounds));
    } catch (...) {
        // A node that cannot be made is answered with null; the class constructor freed it.
        return nullptr;
    }
}

void TGraphDocument::DrawObjects(TCanvas &canvas, const TGraphObjectList &list)
{
    fObjectIndex.BeginWalk();
    try {
        // On a device, an object outside the clip draws nothing: only the objects the index
        // finds there are asked to draw, in list order. A recording keeps every object.
        const bool clipped = &list == &fObjects && !canvas.IsVectorRecording();
        std::vector<TGraphObject *> candidates;
        if (clipped)
            fObjectIndex.Query(canvas.ClipRect(), candidates);
        const auto drawWhere = [&](auto condition) {
            if (!clipped) {
                for (int32_t i = 0; i < list.Count(); ++i) {
                    TGraphObject *obj = list[i];
                    if (condition(obj))
                        obj->Draw(canvas);
                }
                return;
            }
            for (TGraphObject *obj : candidates) {
                if (!fObjectIndex.RemovedDuringWalk(obj) && condition(obj))
                    obj->Draw(canvas);
            }
        };
        const auto isLink = [](const TGraphObject *obj) { return obj->IsLink(); };
        const auto isNode = [](const TGraphObject *obj) { return obj->IsNode(); };
        switch (fHost->DrawOrder()) {
        case doNodesOnTop:
            drawWhere(isLink);
            drawWhere(isNode);
            break;
        case doLinksOnTop:
            drawWhere(isNode);
            drawWhere(isLink);
            break;
        default:
            drawWhere([](const TGraphObject *) { return true; });
            break;
        }
    } catch (...) {
        fObjectIndex.EndWalk();
        throw;
    }
    fObjectIndex.EndWalk();
}

void TGraphDocument::ClearSelection()
{
    while (fSelectedObjects.Count() > 0)
        fSelectedObjects.Delete(fSelectedObjects.Count() - 1);
}

void TGraphDocument::Clear()
{
    if (fObjects.Count() > 0) {
        const TUpdateBatch batch(*this);
        {
            const TUpdateBatch quiet(*this, TBatchQueries::Suspend);
            while (fObjects.Count() > 0)
                fObjects.Delete(fObjects.Count() - 1);
        }
        SettleUnmodified();
    }
    fHost->Cleared();
}

TRect TGraphDocument::GetObjectsBounds(const TGraphObjectList &list) const
{
    bool found = false;
    return ObjectsBounds(list, found);
}

TRect TGraphDocument::ObjectsBounds(const TGraphObjectList &list, bool &found) const
{
    TRect result;
    found = false;
    for (int32_t i = list.Count() - 1; i >= 0; --i) {
        const TGraphObject *obj = list[i];
        if (!obj->Showing())
            continue;
        if (found) {
            UnionRect(result, obj->VisualRect());
        } else {
            result = obj->VisualRect();
            found = true;
        }
    }
    return result;
}

void TGraphDocument::MarkModified()
{
    fModified = true;
    fHost->DoGraphChange();
}

TGraphObject *TGraphDocument::FindObjectByID(uint32_t id) const
{
    switch (fIDIndex.CountOf(id)) {
    case 0:
        return nullptr;
    case 1:
        return fIDIndex.Any(id);
    default:
        // Only a stream with duplicate IDs gets here: the topmost one wins, as a scan from the
        // last object finds it.
        for (int32_t i = fObjects.Count() - 1; i >= 0; --i) {
            if (fObjects[i]->ID() == id)
                return fObjects[i];
        }
        return nullptr;
    }
}

uint32_t TGraphDocument::CreateUniqueID(TGraphObject *obj)
{
    // The first number from the candidate on that no other listed object has: what scanning the
    // list again after each clash finds, without the scans.
    const uint32_t candidate =
        obj->ID() != 0 ? obj->ID() : static_cast<uint32_t>(fObjects.Count()) + 1;
    const bool listed = IsListed(obj);
    if (listed)
        fIDIndex.Remove(obj, obj->ID());
    const uint32_t result = fIDIndex.FirstFree(candidate);
    if (listed)
        fIDIndex.Add(obj, obj->ID());
    return result;
}

bool TGraphDocument::IsListed(const TGraphObject *obj) const
{
    return fIDIndex.Contains(obj, obj->ID());
}

void TGraphDocument::ObjectIDChanged(TGraphObject *obj, uint32_t oldID)
{
    if (fIDIndex.Contains(obj, oldID)) {
        fIDIndex.Remove(obj, oldID);
        fIDIndex.Add(obj, obj->ID());
    }
}

void TGraphDocument::Listed(TGraphObject *obj)
{
    fIDIndex.Add(obj, obj->ID());
    fObjectIndex.Add(obj, fObjects[fObjects.Count() - 1] == obj);
}

void TGraphDocument::Unlisted(TGraphObject *obj)
{
    fIDIndex.Remove(obj, obj->ID());
    fObjectIndex.Remove(obj);
}

void TGraphDocument::ReplaceListed(TGraphObject *oldObject, TGraphObject *newObject)
{
    fObjects.ReplaceAll(oldObject, newObject);
    fSelectedObjects.ReplaceAll(oldObject, newObject);
    if (IsListed(oldObject)) {
        fIDIndex.Remove(oldObject, oldObject->ID());
        fIDIndex.Add(newObject, newObject->ID());
    }
    newObject->fSelectionOrder = std::exchange(oldObject->fSelectionOrder, -1);
    fObjectIndex.Replace(oldObject, newObject);
    fHost->ObjectReplaced(oldObject, newObject);
}

void TGraphDocument::TrackSelectionOrder(TGraphObject *obj, TGraphObjectListAction action)
{
    switch (action) {
    case glAdded:
        if (obj->fSelectionOrder >= 0 || fSelectedObjects[fSelectedObjects.Count() - 1] != obj)
            fSelectionOrdered = false;
        else
            obj->fSelectionOrder = fNextSelectionOrder++;
        break;
    case glRemoved:
        obj->fSelectionOrder = -1;
        if (fSelectedObjects.Count() == 0) {
            fSelectionOrdered = true;
            fNextSelectionOrder = 0;
        }
        break;
    case glReordered:
        fSelectionOrdered = false;
        break;
    }
}

void TGraphDocument::TakeOverObjects(TGraphDocument &source)
{
    if (&source == this || source.fObjects.Count() == 0)
        return;
    // Objects read under the same font and reading order are what they would be read here.
    const bool sameLooks = source.Host().Font() == fHost->Font() &&
                           source.Host().UseRightToLeftReading() == fHost->UseRightToLeftReading();
    std::vector<TGraphObject *> moving;
    moving.reserve(static_cast<size_t>(source.fObjects.Count()));
    for (int32_t i = 0; i < source.fObjects.Count(); ++i)
        moving.push_back(source.fObjects[i]);

    std::exception_ptr failure;
    source.fHandingOver = true;
    try {
        // From the end, where taking an object out of the list moves no other.
        const TUpdateBatch batch(source);
        while (source.fObjects.Count() > 0)
            source.fObjects.Delete(source.fObjects.Count() - 1);
    } catch (...) {
        failure = std::current_exception();
    }
    source.fHandingOver = false;

    {
        const TUpdateBatch batch(*this, TBatchQueries::Suspend);
        const int32_t old = fObjects.Count();
        const int64_t wanted = int64_t{old} + static_cast<int64_t>(moving.size());
        if (wanted > fObjects.Capacity() && wanted <= std::numeric_limits<int32_t>::max())
            fObjects.SetCapacity(static_cast<int32_t>(wanted));
        // A handler that fails here stops no object from arriving: each has left the source
        // already, and the first failure goes on once all are here.
        const auto keepGoing = [&failure](const auto &step) {
            try {
                step();
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        };
        for (TGraphObject *obj : moving) {
            // One the source still lists stayed where its host's failure left it.
            if (source.IsListed(obj))
                continue;
            obj->fOwner = this;
            if (!sameLooks)
                keepGoing([&] { TakeHostLooks(*obj); });
            keepGoing([&] { fObjects.Add(obj); });
        }
        RenumberNewObjects(old);
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TGraphDocument::TakeOutObjects(const std::vector<TGraphObject *> &objects,
                                    std::vector<TPlacedObject> &taken)
{
    std::vector<TPlacedObject> leaving;
    leaving.reserve(objects.size());
    for (TGraphObject *obj : objects) {
        if (IsListed(obj))
            leaving.push_back({obj, fObjectIndex.IndexOf(obj)});
    }
    std::sort(leaving.begin(), leaving.end(),
              [](const TPlacedObject &a, const TPlacedObject &b) { return a.Index < b.Index; });
    leaving.erase(std::unique(leaving.begin(), leaving.end(),
                              [](const TPlacedObject &a, const TPlacedObject &b) {
                                  return a.Index == b.Index;
                              }),
                  leaving.end());
    taken.insert(taken.end(), leaving.cbegin(), leaving.cend());
    std::exception_ptr failure;
    {
        const TUpdateBatch batch(*this, TBatchQueries::Suspend);
        fHandingOver = true;
        // From the end, so that the places still hold while the objects before them leave.
        for (auto place = leaving.crbegin(); place != leaving.crend(); ++place) {
            try {
                fObjects.Delete(place->Index);
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
        fHandingOver = false;
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TGraphDocument::PutBackObjects(const std::vector<TPlacedObject> &objects)
{
    std::exception_ptr failure;
    {
        const TUpdateBatch batch(*this, TBatchQueries::Suspend);
        const int64_t wanted = int64_t{fObjects.Count()} + static_cast<int64_t>(objects.size());
        if (wanted > fObjects.Capacity() && wanted <= std::numeric_limits<int32_t>::max())
            fObjects.SetCapacity(static_cast<int32_t>(wanted));
        for (const TPlacedObject &placed : objects) {
            TGraphObject *obj = placed.Object;
            if (IsListed(obj))
                continue;
            if (FindObjectByID(obj->ID()))
                obj->SetID(CreateUniqueID(obj));
            try {
                fObjects.Insert(std::clamp(placed.Index, 0, fObjects.Count()), obj);
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TGraphDocument::TakeHostLooks(TGraphObject &obj)
{
    // Reading starts from the host's font and sets what the stream stores: the whole font but
    // its default parts, or nothing for an object with its owner's font.
    TFont font;
    font.Assign(fHost->Font());
    if (!obj.fParentFont) {
        TPropEntries entries;
        WriteProps(FontPropTable(), &obj.fFont, std::string(), entries);
        for (const TPropEntry &entry : entries)
            ReadProp(FontPropTable(), &font, entry.Path, entry.Value);
    }
    auto handler = std::move(obj.fFont.OnChange);
    obj.fFont.OnChange = nullptr;
    obj.fFont.Assign(font);
    obj.fFont.OnChange = std::move(handler);
    obj.UpdateTextPlacement(true, 0, 0);
    obj.fVisualRect = obj.QueryVisualRect();
}

void TGraphDocument::RemoveFromSelection(TGraphObject *obj)
{
    const int64_t order = obj->fSelectionOrder;
    if (fSelectionOrdered && order >= 0) {
        int32_t low = 0;
        int32_t high = fSelectedObjects.Count() - 1;
        while (low <= high) {
            const int32_t middle = low + (high - low) / 2;
            const int64_t here = fSelectedObjects[middle]->fSelectionOrder;
            if (here == order) {
                fSelectedObjects.Delete(middle);
                return;
            }
            if (here < order)
                low = middle + 1;
            else
                high = middle - 1;
        }
    }
    fSelectedObjects.Remove(obj);
}

} // namespace talivo
