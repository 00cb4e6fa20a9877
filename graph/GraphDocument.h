#pragma once

#include "graph/GraphObject.h"
#include "graph/ObjectIDIndex.h"

#include <cstdint>

namespace talivo {

// The objects of one graph apart from any view of them: the object list in drawing order, the
// selection in the order the objects joined it, and the objects by ID. Whoever handles the
// lists' changes keeps the ID index in step through Listed and Unlisted.
class TGraphDocument {
public:
    TGraphObject::TReplaceableList &Objects() { return fObjects; }
    const TGraphObject::TReplaceableList &Objects() const { return fObjects; }
    TGraphObject::TReplaceableList &SelectedObjects() { return fSelectedObjects; }
    const TGraphObject::TReplaceableList &SelectedObjects() const { return fSelectedObjects; }

    // The object with the ID, null when none; of several (a stream may hold duplicates until
    // the reader renumbers) the topmost.
    TGraphObject *FindObjectByID(uint32_t id) const;
    // The first ID from the object's own (from the count of objects plus one when it has none)
    // on that no other listed object has.
    uint32_t CreateUniqueID(TGraphObject *obj);
    // Whether the object is listed in Objects under its current ID.
    bool IsListed(const TGraphObject *obj) const;
    // The object's ID changed while it may be listed.
    void ObjectIDChanged(TGraphObject *obj, uint32_t oldID);
    // The object joined or left Objects.
    void Listed(TGraphObject *obj);
    void Unlisted(TGraphObject *obj);
    // Puts the new object in the old one's place in the lists and the ID index, without list
    // notifications, as an object converted to another class takes the old one's place.
    void ReplaceListed(TGraphObject *oldObject, TGraphObject *newObject);

private:
    TGraphObject::TReplaceableList fObjects;
    TGraphObject::TReplaceableList fSelectedObjects;
    TObjectIDIndex fIDIndex;
};

} // namespace talivo
