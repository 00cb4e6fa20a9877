#include "graph/GraphDocument.h"

namespace talivo {

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
    fObjectIndex.Replace(oldObject, newObject);
}

} // namespace talivo
