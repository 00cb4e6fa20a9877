#include "graph/GraphControl.h"
#include "graph/GraphLink.h"
#include "graph/GraphStreamFormat.h"
#include "graph/GraphStreamReader.h"
#include "graph/GraphStreamWriter.h"
#include "platform/AtomicFile.h"
#include "platform/Platform.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

namespace talivo {

namespace {

const QByteArray &GraphSignature()
{
    static const QByteArray Signature(GraphStreamSignature, 4);
    return Signature;
}

void CheckGraphSignature(QIODevice &Stream)
{
    if (Stream.read(4) != GraphSignature()) {
        throw EGraphStreamError(N_("Invalid stream content"));
    }
}

// A property of any registered class: lets a reader pass over the record of an object it has no
// place for, since a value's extent may depend on its property (four integers in a row).
const TPropInfo *FindAnyStreamProp(std::string_view Path)
{
    if (const TPropInfo *Info = FindStreamProp(TGraphObject::PropTable(), Path)) {
        return Info;
    }
    for (int32_t I = 0; I < TGraphDocument::NodeClassCount(); ++I) {
        if (const TPropInfo *Info =
                FindStreamProp(TGraphDocument::NodeClasses(I)->PropTable(), Path)) {
            return Info;
        }
    }
    for (int32_t I = 0; I < TGraphDocument::LinkClassCount(); ++I) {
        if (const TPropInfo *Info =
                FindStreamProp(TGraphDocument::LinkClasses(I)->PropTable(), Path)) {
            return Info;
        }
    }
    return nullptr;
}

// What is a text with the placeholders %1 for the file's name and %2 for the system's reason.
EGraphStreamError FileError(const char *What, const QString &FileName, const QFileDevice &File)
{
    return EGraphStreamError(What, {FileName, File.errorString()});
}

} // namespace

void TGraphControl::WriteGraphObject(QIODevice &Stream, TGraphObject *GraphObject)
{
    TGraphStreamWriter(Stream).WriteObjectRecord(
        GraphObject->ClassName(), GraphObject->GetPropTable(), GraphObject->SaveToEntries());
}

TGraphObject *TGraphControl::ReadGraphObject(QIODevice &Stream)
{
    TGraphStreamReader Reader(Stream);
    const std::string ClassName = Reader.ReadClassName();
    const TGraphObjectClass *Class = FindClass(ClassName);
    if (!Class) {
        throw EGraphStreamError(N_("Class %1 not found"), {QString::fromLatin1(ClassName)});
    }
    return Class->CreateLoaded(&fDocument, Reader.ReadPropertyStream(Class->PropTable()));
}

void TGraphControl::WriteObjects(QIODevice &Stream, const TGraphObjectList &List)
{
    TGraphStreamWriter(Stream).WriteInt32(List.Count());
    for (int32_t I = 0; I < List.Count(); ++I) {
        WriteGraphObject(Stream, List[I]);
    }
}

void TGraphControl::RenumberNewObjects(int32_t First)
{
    // The new links by the IDs their ends name, so that a renumbered object finds the links
    // that point at it without a walk over all links. A link whose end names its own ID is left
    // out: such an end follows only the link's own renumbering.
    std::unordered_map<uint32_t, std::vector<TGraphLink *>> LinksTo;
    const auto AddLink = [&LinksTo](TGraphLink *Link, int64_t End) {
        if (End >= 0 && End <= std::numeric_limits<uint32_t>::max() && End != Link->ID()) {
            LinksTo[static_cast<uint32_t>(End)].push_back(Link);
        }
    };
    for (int32_t I = First; I < Objects().Count(); ++I) {
        if (auto *Link = dynamic_cast<TGraphLink *>(Objects()[I])) {
            AddLink(Link, Link->Source());
            if (Link->Target() != Link->Source()) {
                AddLink(Link, Link->Target());
            }
        }
    }
    for (int32_t I = First; I < Objects().Count(); ++I) {
        TGraphObject *Obj = Objects()[I];
        const uint32_t OldID = Obj->ID();
        const uint32_t NewID = CreateUniqueID(Obj);
        if (NewID == OldID) {
            continue;
        }
        Obj->ReplaceID(OldID, NewID);
        const auto Pointing = LinksTo.find(OldID);
        if (Pointing == LinksTo.end()) {
            continue;
        }
        // Another new object of the same ID keeps it; links that pointed there now point at the
        // renumbered one.
        std::vector<TGraphLink *> Links = std::move(Pointing->second);
        LinksTo.erase(Pointing);
        std::vector<TGraphLink *> Staying;
        for (TGraphLink *Link : Links) {
            if (Link == Obj || Link->ID() == OldID) {
                Staying.push_back(Link);
            } else {
                Link->ReplaceID(OldID, NewID);
                AddLink(Link, NewID);
            }
        }
        if (!Staying.empty()) {
            LinksTo[OldID] = std::move(Staying);
        }
    }
}

void TGraphControl::ReadObjects(QIODevice &Stream)
{
    const TUpdateBatch batch(*this, TBatchQueries::Suspend);
    const int32_t Old = Objects().Count();
    // The objects read before a damaged record stay, so they are renumbered and finished as
    // after a complete read before the error goes on.
    const auto FinishNewObjects = [this, Old] {
        RenumberNewObjects(Old);
        for (int32_t I = Old; I < Objects().Count(); ++I) {
            Objects()[I]->Loaded();
        }
    };
    try {
        TGraphStreamReader Reader(Stream);
        const int32_t Count = Reader.ReadInt32();
        if (Count > 0) {
            // The count is the stream's word only: room is made for what the data can hold.
            const int64_t Expected = std::min<int64_t>(Count, Reader.MaxRecordsLeft());
            const auto Wanted = static_cast<int32_t>(
                std::min<int64_t>(int64_t{Old} + Expected, std::numeric_limits<int32_t>::max()));
            if (Wanted > Objects().Capacity()) {
                Objects().SetCapacity(Wanted);
            }
            for (int32_t I = 0; I < Count; ++I) {
                ReadGraphObject(Stream);
            }
        }
        FinishNewObjects();
    } catch (...) {
        try {
            FinishNewObjects();
        } catch (...) {
            // The read error is the one the caller needs to see.
        }
        throw;
    }
}

void TGraphControl::BackupObjects(QIODevice &Stream, TGraphObjectList &List)
{
    TGraphStreamWriter Writer(Stream);
    Writer.WriteInt32(List.Count());
    for (int32_t I = 0; I < List.Count(); ++I) {
        Writer.WriteInt32(static_cast<int32_t>(List[I]->ID()));
        List[I]->SaveToStream(Stream);
    }
}

void TGraphControl::RestoreObjects(QIODevice &Stream)
{
    const TUpdateBatch batch(*this, TBatchQueries::Suspend);
    TGraphStreamReader reader(Stream);
    const int32_t count = reader.ReadInt32();
    for (int32_t i = 0; i < count; ++i) {
        const auto id = static_cast<uint32_t>(reader.ReadInt32());
        if (TGraphObject *obj = FindObjectByID(id)) {
            // Reading the body back puts the object in place without reporting a move: the area
            // it leaves and the one it returns to are repainted, and the graph's bounds follow it.
            obj->Invalidate();
            obj->LoadFromStream(Stream);
            ObjectChanged(obj, {gcView, gcPlacement});
        } else {
            // The object has gone meanwhile; the others are still restored.
            reader.ReadPropertyStream(FindAnyStreamProp);
        }
    }
}

void TGraphControl::SaveToStream(QIODevice &Stream)
{
    TGraphStreamWriter(Stream).WriteBytes(GraphSignature());
    WriteObjects(Stream, Objects());
    fDocument.SetModified(false);
}

void TGraphControl::LoadFromStream(QIODevice &Stream)
{
    CheckGraphSignature(Stream);
    const TUpdateBatch batch(*this);
    // A load leaves the graph unmodified, also when it stops at a damaged record.
    try {
        Clear();
        ReadObjects(Stream);
    } catch (...) {
        fDocument.SettleUnmodified();
        throw;
    }
    fDocument.SettleUnmodified();
}

void TGraphControl::SaveToFile(const QString &FileName)
{
    const auto write = [this](QIODevice &file) {
        TGraphStreamWriter(file).WriteBytes(GraphSignature());
        WriteObjects(file, Objects());
        return true;
    };
    WriteFileAtomically(FileName, write, [&](TSaveStep step, const QString &reason) {
        return std::make_exception_ptr(EGraphStreamError(step == TSaveStep::Create
                                                             ? N_("Cannot create file %1: %2")
                                                             : N_("Cannot write file %1: %2"),
                                                         {FileName, reason}));
    });
    fDocument.SetModified(false);
}

void TGraphControl::LoadFromFile(const QString &FileName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly)) {
        throw FileError(N_("Cannot open file %1: %2"), FileName, File);
    }
    LoadFromStream(File);
}

void TGraphControl::MergeFromStream(QIODevice &Stream, int32_t OffsetX, int32_t OffsetY)
{
    CheckGraphSignature(Stream);
    TRect Bounds;
    int32_t Old = 0;
    {
        const TUpdateBatch batch(*this);
        ClearSelection();
        Old = Objects().Count();
        ReadObjects(Stream);
        if (Objects().Count() > Old) {
            TGraphObjectList NewObjects;
            for (int32_t I = Old; I < Objects().Count(); ++I) {
                NewObjects.Add(Objects()[I]);
            }
            Bounds = GetObjectsBounds(NewObjects);
            GraphConstraints().SetSourceRect(Bounds);
            if (GraphConstraints().ConfineOffset(OffsetX, OffsetY,
                                                 {osLeft, osTop, osRight, osBottom})) {
                {
                    const TUpdateBatch quiet(*this, TBatchQueries::Suspend);
                    for (int32_t i = Old; i < Objects().Count(); ++i) {
                        Objects()[i]->MoveBy(OffsetX, OffsetY);
                    }
                }
                Bounds = {Bounds.Left + OffsetX, Bounds.Top + OffsetY, Bounds.Right + OffsetX,
                          Bounds.Bottom + OffsetY};
            }
        }
    }
    SetCommandMode(cmEdit);
    if (Objects().Count() > Old) {
        ScrollInView(Bounds);
    }
}

void TGraphControl::MergeFromFile(const QString &FileName, int32_t OffsetX, int32_t OffsetY)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly)) {
        throw FileError(N_("Cannot open file %1: %2"), FileName, File);
    }
    MergeFromStream(File, OffsetX, OffsetY);
}

void TGraphControl::CopyToClipboard(bool Selection)
{
    const TGraphObjectList &List = Selection ? SelectedObjects() : Objects();
    if (List.Count() == 0) {
        return;
    }
    TClipboardForms Forms;
    if (fClipboardFormats.Contains(cfNative)) {
        QByteArray Block;
        QBuffer Buffer(&Block);
        Buffer.open(QIODevice::WriteOnly);
        WriteObjects(Buffer, List);
        Buffer.close();
        Forms.Custom.insert(QString::fromLatin1(CF_GRAPHOBJECTS), Block);
    }
    if (fClipboardFormats.Contains(cfMetafile)) {
        Forms.Svg = MetafileToSvg(GetAsMetafile(List));
    }
    if (fClipboardFormats.Contains(cfBitmap)) {
        Forms.Image = GetAsBitmap(List);
    }
    Clipboard().Put(Forms);
}

bool TGraphControl::PasteFromClipboard()
{
    std::optional<QByteArray> Block = Clipboard().Data(QString::fromLatin1(CF_GRAPHOBJECTS));
    if (!Block) {
        return false;
    }
    QBuffer Buffer(&*Block);
    Buffer.open(QIODevice::ReadOnly);
    const TUpdateBatch batch(*this);
    ClearSelection();
    const int32_t old = Objects().Count();
    ReadObjects(Buffer);
    for (int32_t i = Objects().Count() - 1; i >= old; --i) {
        Objects()[i]->SetSelected(true);
    }
    return true;
}

} // namespace talivo
