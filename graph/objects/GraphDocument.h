#pragma once

#include "graph/objects/GraphConstraints.h"
#include "graph/objects/GraphHost.h"
#include "graph/objects/GraphNodePicture.h"
#include "graph/objects/GraphObject.h"
#include "graph/objects/GraphObjectClass.h"
#include "graph/objects/ObjectIDIndex.h"
#include "graph/objects/ObjectIndex.h"

#include <cstdint>
#include <optional>
#include <string_view>

class QIODevice;
class QString;

namespace talivo {

// An object and its place in a document's list.
struct TPlacedObject {
    TGraphObject *Object = nullptr;
    int32_t Index = 0;
};

// The objects of one graph apart from any view of them: the object list in drawing order, the
// selection in the order the objects joined it, the objects by ID and by place, the rules of
// where nodes may be, the update batches and the modified state. The document owns its objects:
// whatever leaves Objects is freed. It tells its host what was added, removed, selected and
// changed; the objects reach the view that shows the document through that host, and a document
// without a view has a host of its own that shows nothing.
class TGraphDocument {
public:
    TGraphDocument();
    ~TGraphDocument();
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
    // Puts the new object in the old one's place in the lists and the indexes, without list
    // notifications, as an object converted to another class takes the old one's place.
    void ReplaceListed(TGraphObject *oldObject, TGraphObject *newObject);
    // Takes the object out of SelectedObjects, as Remove would.
    void RemoveFromSelection(TGraphObject *obj);
    // A node of the class, or null for no class, a link class and when its creation failed.
    TGraphNode *InsertNode(const TRect &bounds, const TGraphNodeClass *nodeClass);
    // Draws the objects of the list onto the canvas at their graph coordinates, in the host's
    // draw order; on a device only those within the clip. Draw: every object.
    void DrawObjects(TCanvas &canvas, const TGraphObjectList &list);
    void Draw(TCanvas &canvas) { DrawObjects(canvas, fObjects); }
    // Deselects every object, the last selected first.
    void ClearSelection();
    // Deletes every object (without questions) in one batch and leaves the document unmodified;
    // then the host starts over.
    void Clear();
    // The union of the shown objects' visual rectangles, (0, 0, 0, 0) when none shows; Found
    // tells whether one did.
    TRect ObjectsBounds(const TGraphObjectList &list, bool &found) const;
    TRect GetObjectsBounds(const TGraphObjectList &list) const;
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

    // Change batching: the changes made between the outermost BeginUpdate and its EndUpdate are
    // reported once, when it ends; the modified state settles then.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return fUpdateCount > 0; }
    // While suspended, the host's questions about the objects go unasked, as while objects are
    // read or put back the way they were.
    bool QueryEventsSuspended() const { return fSuspendQueryEvents > 0; }
    void SuspendQueries() { ++fSuspendQueryEvents; }
    void ResumeQueries() { --fSuspendQueryEvents; }
    // An object reports a change: the host shows it, a change of data modifies the document
    // (at once, or when the batch ends) unless the host accounts for it, and a change of the
    // look repaints the object. BoundsKnown: the host has taken the object's place in already.
    void ObjectChanged(TGraphObject *obj, TGraphChangeFlags flags, bool boundsKnown = false);
    bool Modified() const { return fModified; }
    void SetModified(bool value) { fModified = value; }
    // Sets the modified state and tells the host.
    void MarkModified();
    // When the current batch ends, the document is unmodified, whatever changed in it.
    void SettleUnmodified() { fSaveModified = TSaveModified::Unmodified; }

    // The graph stream. Loading replaces every object; a stream that is no graph stream raises
    // EGraphStreamError "Invalid stream content" and changes nothing. Saving a file replaces it
    // only once the new content is completely written. Saving and loading leave the document
    // unmodified.
    void SaveToStream(QIODevice &stream);
    void LoadFromStream(QIODevice &stream);
    void SaveToFile(const QString &fileName);
    void LoadFromFile(const QString &fileName);
    // Clears the selection and adds the objects of a graph stream, moved by the offset as far as
    // the constraints allow. The bounds of the added objects where they ended; none when the
    // stream held none.
    std::optional<TRect> MergeFromStream(QIODevice &stream, int32_t offsetX, int32_t offsetY);
    std::optional<TRect> MergeFromFile(const QString &fileName, int32_t offsetX, int32_t offsetY);
    // Moves every object of the source to the end of this document, in the source's order, as a
    // document read elsewhere hands its objects on: each leaves the source as a removal takes it
    // but is not freed, and joins this document as an insertion adds it, unselected, renumbered
    // where its ID is taken here, with the font and caption this document's host gives an object
    // read into it. An object keeps the custom data the source's host read, and its own font
    // parts that a stream leaves out (the defaults) as the source's host gave them. When the
    // source's host fails meanwhile, the objects that have left it are here all the same.
    void TakeOverObjects(TGraphDocument &source);
    // Object records: a count and the records of the list; reading adds the objects, renumbers
    // those whose IDs are taken and keeps the ones read before a damaged record.
    void WriteObjects(QIODevice &stream, const TGraphObjectList &list);
    void ReadObjects(QIODevice &stream);
    // Gives the objects from index First on unique IDs; links that pointed at a renumbered
    // object point at its new ID. Linear in the number of objects and links.
    void RenumberNewObjects(int32_t first);
    void WriteGraphObject(QIODevice &stream, TGraphObject *obj);
    TGraphObject *ReadGraphObject(QIODevice &stream);
    // A record of objects' places and looks, for putting them back: a count, then per object
    // its ID and property stream. Restoring passes over the objects that have gone meanwhile.
    void BackupObjects(QIODevice &stream, const TGraphObjectList &list);
    void RestoreObjects(QIODevice &stream);
    // Takes the listed ones of the objects out of the list without freeing them, the last first,
    // as a removal does otherwise, and appends them to taken with their indices, in list order.
    // The caller owns them until they are put back: TGraphObject::Free frees one. An object
    // leaves even when a handler of its removal fails; the first failure goes on at the end.
    void TakeOutObjects(const std::vector<TGraphObject *> &objects,
                        std::vector<TPlacedObject> &taken);
    // Puts taken-out objects back at their indices, the lowest first, so that each lands where it
    // was when the list holds what it held after they left. Each keeps its ID unless another
    // object holds it now. A handler's failure stops no object from arriving.
    void PutBackObjects(const std::vector<TPlacedObject> &objects);

    // The picture under the objects: one picture pixel per graph unit, its top-left corner at
    // graph point (0, 0).
    TGraphNodePicture &Background() { return fBackground; }
    const TGraphNodePicture &Background() const { return fBackground; }
    // Frees every object, the topmost first, without questions, reports or repaints: the
    // document is closing, and stays closed to changes.
    void FreeObjects();
    bool IsDestroying() const { return fDestroying; }

private:
    // The deferred modified state of a batch.
    enum class TSaveModified : uint8_t { None, Modified, Unmodified };

    // What happens as objects join and leave the lists: the indexes follow, the host learns of
    // it, and an object that leaves Objects is freed.
    void ObjectListChanged(TGraphObject *obj, TGraphObjectListAction action);
    void SelectedListChanged(TGraphObject *obj, TGraphObjectListAction action);
    void Listed(TGraphObject *obj);
    void Unlisted(TGraphObject *obj);
    // Keeps the order in which the objects joined the selection.
    void TrackSelectionOrder(TGraphObject *obj, TGraphObjectListAction action);
    // Gives an object that comes from a document with other looks the font and caption reading
    // it here would have given it.
    void TakeHostLooks(TGraphObject &obj);

    TGraphHost fOwnHost;
    TGraphHost *fHost = &fOwnHost;
    TGraphConstraints fGraphConstraints{this};
    uint16_t fMinNodeSize = 16;
    int32_t fUpdateCount = 0;
    TSaveModified fSaveModified = TSaveModified::None;
    bool fModified = false;
    int32_t fSuspendQueryEvents = 0;
    bool fDestroying = false;
    // Set while the objects leave for another document, which takes them over instead of their
    // being freed.
    bool fHandingOver = false;
    TGraphNodePicture fBackground;
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
