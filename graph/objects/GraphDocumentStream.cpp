#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphLink.h"
#include "graph/objects/UpdateBatch.h"
#include "graph/stream/GraphStreamFormat.h"
#include "graph/stream/GraphStreamReader.h"
#include "graph/stream/GraphStreamWriter.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

namespace talivo {

namespace {

const QByteArray &GraphSignature()
{
    static const QByteArray signature(GraphStreamSignature, 4);
    return signature;
}

void CheckGraphSignature(QIODevice &stream)
{
    if (stream.read(4) != GraphSignature())
        throw EGraphStreamError(N_("Invalid stream content"));
}

// A property of any registered class: lets a reader pass over the record of an object it has no
// place for, since a value's extent may depend on its property (four integers in a row).
const TPropInfo *FindAnyStreamProp(std::string_view path)
{
    if (const TPropInfo *info = FindStreamProp(TGraphObject::PropTable(), path))
        return info;
    for (int32_t i = 0; i < TGraphDocument::NodeClassCount(); ++i) {
        if (const TPropInfo *info =
                FindStreamProp(TGraphDocument::NodeClasses(i)->PropTable(), path))
            return info;
    }
    for (int32_t i = 0; i < TGraphDocument::LinkClassCount(); ++i) {
        if (const TPropInfo *info =
                FindStreamProp(TGraphDocument::LinkClasses(i)->PropTable(), path))
            return info;
    }
    return nullptr;
}

void OpenForReading(QFile &file, const QString &fileName)
{
    if (!file.open(QIODevice::ReadOnly))
        throw EGraphStreamError(N_("Cannot open file %1: %2"), {fileName, file.errorString()});
}

} // namespace

void TGraphDocument::WriteGraphObject(QIODevice &stream, TGraphObject *obj)
{
    TGraphStreamWriter(stream).WriteObjectRecord(obj->ClassName(), obj->GetPropTable(),
                                                 obj->SaveToEntries());
}

TGraphObject *TGraphDocument::ReadGraphObject(QIODevice &stream)
{
    TGraphStreamReader reader(stream);
    const std::string className = reader.ReadClassName();
    const TGraphObjectClass *objectClass = FindClass(className);
    if (!objectClass)
        throw EGraphStreamError(N_("Class %1 not found"), {QString::fromLatin1(className)});
    return objectClass->CreateLoaded(this, reader.ReadPropertyStream(objectClass->PropTable()));
}

void TGraphDocument::WriteObjects(QIODevice &stream, const TGraphObjectList &list)
{
    TGraphStreamWriter(stream).WriteInt32(list.Count());
    for (int32_t i = 0; i < list.Count(); ++i)
        WriteGraphObject(stream, list[i]);
}

void TGraphDocument::RenumberNewObjects(int32_t first)
{
    // The new links by the IDs their ends name, so that a renumbered object finds the links
    // that point at it without a walk over all links. A link whose end names its own ID is left
    // out: such an end follows only the link's own renumbering.
    std::unordered_map<uint32_t, std::vector<TGraphLink *>> linksTo;
    const auto addLink = [&linksTo](TGraphLink *link, int64_t end) {
        if (end >= 0 && end <= std::numeric_limits<uint32_t>::max() && end != link->ID())
            linksTo[static_cast<uint32_t>(end)].push_back(link);
    };
    for (int32_t i = first; i < fObjects.Count(); ++i) {
        if (auto *link = dynamic_cast<TGraphLink *>(fObjects[i])) {
            addLink(link, link->Source());
            if (link->Target() != link->Source())
                addLink(link, link->Target());
        }
    }
    for (int32_t i = first; i < fObjects.Count(); ++i) {
        TGraphObject *obj = fObjects[i];
        const uint32_t oldID = obj->ID();
        const uint32_t newID = CreateUniqueID(obj);
        if (newID == oldID)
            continue;
        obj->ReplaceID(oldID, newID);
        const auto pointing = linksTo.find(oldID);
        if (pointing == linksTo.end())
            continue;
        // Another new object of the same ID keeps it; links that pointed there now point at the
        // renumbered one.
        std::vector<TGraphLink *> links = std::move(pointing->second);
        linksTo.erase(pointing);
        std::vector<TGraphLink *> staying;
        for (TGraphLink *link : links) {
            if (link == obj || link->ID() == oldID) {
                staying.push_back(link);
            } else {
                link->ReplaceID(oldID, newID);
                addLink(link, newID);
            }
        }
        if (!staying.empty())
            linksTo[oldID] = std::move(staying);
    }
}

void TGraphDocument::ReadObjects(QIODevice &stream)
{
    const TUpdateBatch batch(*this, TBatchQueries::Suspend);
    const int32_t old = fObjects.Count();
    // The objects read before a damaged record stay, so they are renumbered and finished as
    // after a complete read before the error goes on.
    const auto finishNewObjects = [this, old] {
        RenumberNewObjects(old);
        for (int32_t i = old; i < fObjects.Count(); ++i)
            fObjects[i]->Loaded();
    };
    try {
        TGraphStreamReader reader(stream);
        const int32_t count = reader.ReadInt32();
        if (count > 0) {
            // The count is the stream's word only: room is made for what the data can hold.
            const int64_t expected = std::min<int64_t>(count, reader.MaxRecordsLeft());
            const auto wanted = static_cast<int32_t>(
                std::min<int64_t>(int64_t{old} + expected, std::numeric_limits<int32_t>::max()));
            if (wanted > fObjects.Capacity())
                fObjects.SetCapacity(wanted);
            for (int32_t i = 0; i < count; ++i)
                ReadGraphObject(stream);
        }
        finishNewObjects();
    } catch (...) {
        try {
            finishNewObjects();
        } catch (...) {
            // The read error is the one the caller needs to see.
        }
        throw;
    }
}

void TGraphDocument::BackupObjects(QIODevice &stream, const TGraphObjectList &list)
{
    TGraphStreamWriter writer(stream);
    writer.WriteInt32(list.Count());
    for (int32_t i = 0; i < list.Count(); ++i) {
        writer.WriteInt32(static_cast<int32_t>(list[i]->ID()));
        list[i]->SaveToStream(stream);
    }
}

void TGraphDocument::RestoreObjects(QIODevice &stream)
{
    const TUpdateBatch batch(*this, TBatchQueries::Suspend);
    TGraphStreamReader reader(stream);
    const int32_t count = reader.ReadInt32();
    for (int32_t i = 0; i < count; ++i) {
        const auto id = static_cast<uint32_t>(reader.ReadInt32());
        if (TGraphObject *obj = FindObjectByID(id)) {
            // Reading the body back puts the object in place without reporting a move: the area
            // it leaves and the one it returns to are repainted, and the graph's bounds follow it.
            obj->Invalidate();
            obj->LoadFromStream(stream);
            ObjectChanged(obj, {gcView, gcPlacement});
        } else {
            // The object has gone meanwhile; the others are still restored.
            reader.ReadPropertyStream(FindAnyStreamProp);
        }
    }
}

void TGraphDocument::SaveToStream(QIODevice &stream)
{
    TGraphStreamWriter(stream).WriteBytes(GraphSignature());
    WriteObjects(stream, fObjects);
    fModified = false;
}

void TGraphDocument::LoadFromStream(QIODevice &stream)
{
    CheckGraphSignature(stream);
    const TUpdateBatch batch(*this);
    // A load leaves the graph unmodified, also when it stops at a damaged record.
    try {
        Clear();
        ReadObjects(stream);
    } catch (...) {
        SettleUnmodified();
        throw;
    }
    SettleUnmodified();
}

void TGraphDocument::SaveToFile(const QString &fileName)
{
    const auto write = [this](QIODevice &file) {
        TGraphStreamWriter(file).WriteBytes(GraphSignature());
        WriteObjects(file, fObjects);
        return true;
    };
    WriteGraphFile(fileName, write);
    fModified = false;
}

void TGraphDocument::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    OpenForReading(file, fileName);
    LoadFromStream(file);
}

std::optional<TRect> TGraphDocument::MergeFromStream(QIODevice &stream, int32_t offsetX,
                                                     int32_t offsetY)
{
    CheckGraphSignature(stream);
    const TUpdateBatch batch(*this);
    ClearSelection();
    const int32_t old = fObjects.Count();
    ReadObjects(stream);
    if (fObjects.Count() == old)
        return std::nullopt;
    TGraphObjectList newObjects;
    for (int32_t i = old; i < fObjects.Count(); ++i)
        newObjects.Add(fObjects[i]);
    TRect bounds = GetObjectsBounds(newObjects);
    fGraphConstraints.SetSourceRect(bounds);
    if (fGraphConstraints.ConfineOffset(offsetX, offsetY, {osLeft, osTop, osRight, osBottom})) {
        {
            const TUpdateBatch quiet(*this, TBatchQueries::Suspend);
            for (int32_t i = old; i < fObjects.Count(); ++i)
                fObjects[i]->MoveBy(offsetX, offsetY);
        }
        bounds = {bounds.Left + offsetX, bounds.Top + offsetY, bounds.Right + offsetX,
                  bounds.Bottom + offsetY};
    }
    return bounds;
}

std::optional<TRect> TGraphDocument::MergeFromFile(const QString &fileName, int32_t offsetX,
                                                   int32_t offsetY)
{
    QFile file(fileName);
    OpenForReading(file, fileName);
    return MergeFromStream(file, offsetX, offsetY);
}

} // namespace talivo
