#pragma once

#include "graph/GraphConstraints.h"
#include "graph/GraphHost.h"
#include "graph/GraphObject.h"
#include "graph/GraphObjectClass.h"
#include "graph/ObjectIDIndex.h"
#include "graph/ObjectIndex.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace talivo {

// The objects of one graph apart from any view of them: the object list in drawing order, the
// selection in the order the objects joined it, the objects by ID and by place, and the rules
// of where nodes may be. Whoever handles the lists' changes keeps the indexes in step through
// Listed, Unlisted and Reordered. The objects reach the view that shows the document through its
// host; a document without a view has a host of its own that shows nothing.
class TGraphDocument {
public:
    TGraphDocument();
    TGraphDocument(const TGraphDocument &) = delete;
    TGraphDocument &operator=(const TGraphDocument &) = delete;

    TGraphHost &Host() const { return *fHost; }
    // Null puts back the document's own host.
    void SetHost(TGraphHost *host) { fHost = host ? host : &fOwnHost; }

    // The classes a graph may hold (process-wide). Registering also makes the class known by its
    // name; registering twice has no effect.
    static void RegisterNode(const TGraphNodeClass &nodeClass);
    static void UnregisterNode(const TGraphNodeClass &nodeClass);
    static int32_t NodeClassCount();
    static const TGraphNodeClass *NodeClasses(int32_t index);
    static void RegisterLink(const TGraphLinkClass &linkClass);
    static void UnregisterLink(const TGraphLinkClass &linkClass);
    static int32_t LinkClassCount();
    static const TGraphLinkClass *LinkClasses(int32_t index);
    // A registered class by its name; null when none.
    static const TGraphObjectClass *FindClass(std::string_view className);

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
    // The object joined or left Objects, or Objects was reordered otherwise than by appending.
    void Listed(TGraphObject *obj);
    void Unlisted(TGraphObject *obj);
    void Reordered() { fObjectIndex.Reordered(); }
    // Puts the new object in the old one's place in the lists and the indexes, without list
    // notifications, as an object converted to another class takes the old one's place.
    void ReplaceListed(TGraphObject *oldObject, TGraphObject *newObject);
    // The selection list changed: keeps the order in which the objects joined it.
    void TrackSelectionOrder(TGraphObject *obj, TGraphObjectListAction action);
    // Takes the object out of SelectedObjects, as Remove would.
    void RemoveFromSelection(TGraphObject *obj);
    // Where the objects are, for the hit test, the rubber band and the paint; a cache that const
    // queries bring up to date.
    TObjectIndex &ObjectIndex() const { return fObjectIndex; }

    // The area of the graph that objects are kept in.
    TGraphConstraints &GraphConstraints() { return fGraphConstraints; }
    const TGraphConstraints &GraphConstraints() const { return fGraphConstraints; }
    // The smallest width and height of a node.
    uint16_t MinNodeSize() const { return fMinNodeSize; }
    void SetMinNodeSize(uint16_t value) { fMinNodeSize = value; }
    // Whether a node must lie inside the constraints, or only its centre.
    bool KeepInside = true;
    bool KeepCenterInside = false;

private:
    TGraphHost fOwnHost;
    TGraphHost *fHost = &fOwnHost;
    TGraphConstraints fGraphConstraints{this};
    uint16_t fMinNodeSize = 16;
    TGraphObject::TReplaceableList fObjects;
    TGraphObject::TReplaceableList fSelectedObjects;
    TObjectIDIndex fIDIndex;
    mutable TObjectIndex fObjectIndex{fObjects};
    // The selection list holds its objects in the order they joined it, each with its number in
    // that order, as long as objects are only appended and no object is listed twice; then an
    // object's place is found by bisection. Deselecting many objects in any order stays linear.
    bool fSelectionOrdered = true;
    int64_t fNextSelectionOrder = 0;
};

inline TGraphHost &TGraphObject::Host() const
{
    return fOwner->Host();
}

} // namespace talivo
