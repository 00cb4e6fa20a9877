#include "graph/objects/GraphObject.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/UpdateBatch.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>

namespace talivo {

namespace {

constexpr const char *OptionNames[] = {"goLinkable", "goSelectable", "goShowCaption"};
constexpr TGraphObjectOptions AllOptions{goLinkable, goSelectable, goShowCaption};

// The carrier's own properties besides ID and G; a stream may hold them, and they mean nothing
// to the object.
bool IsIgnoredCarrierProp(std::string_view Path)
{
    return Path == "Name" || Path == "Tag" || Path == "Left" || Path == "Top";
}

} // namespace

void TGraphObject::TReplaceableList::ReplaceAll(TGraphObject *OldItem, TGraphObject *NewItem)
{
    if (OldItem == NewItem) {
        return;
    }
    while (Replace(OldItem, NewItem) >= 0) {
    }
}

TGraphObject::TGraphObject(TGraphDocument *AOwner) : fOwner(AOwner)
{
    fStates.Include(osCreating);
    fFont.Assign(AOwner->Host().Font());
    fBrush.OnChange = [this] { StyleChanged(&fBrush); };
    fPen.OnChange = [this] { StyleChanged(&fPen); };
    fFont.OnChange = [this] { StyleChanged(&fFont); };
    const auto Handler = [this](TGraphObjectList *Sender, TGraphObject *GraphObject,
                                TGraphObjectListAction Action) {
        ListChanged(Sender, GraphObject, Action);
    };
    fDependentList.SetOnChange(Handler);
    fLinkInputList.SetOnChange(Handler);
    fLinkOutputList.SetOnChange(Handler);
}

TGraphObject::~TGraphObject() = default;

const TGraphObjectClass &TGraphObject::StaticClass()
{
    static const TGraphObjectClass Class("TGraphObject", nullptr, nullptr,
                                         &TGraphObject::PropTable);
    return Class;
}

const TGraphObjectClass &TGraphObject::ClassType() const
{
    return StaticClass();
}

const TPropTable &TGraphObject::PropTable()
{
    static const TPropTable Table = [] {
        TPropInfo CustomData;
        CustomData.Name = "CustomData";
        CustomData.Kind = TPropKind::Binary;
        CustomData.IsStored = [](const void *Instance) {
            return static_cast<const TGraphObject *>(Instance)->fHasCustomData;
        };
        // The payload is a 32-bit byte count and the bytes the application's OnObjectWrite
        // handler wrote.
        CustomData.Get = [](const void *Instance) -> TPropValue {
            auto *Obj = const_cast<TGraphObject *>(static_cast<const TGraphObject *>(Instance));
            QByteArray Bytes;
            QBuffer Buffer(&Bytes);
            Buffer.open(QIODevice::WriteOnly);
            Obj->Host().DoObjectWrite(Obj, Buffer);
            QByteArray Payload(4, '\0');
            qToLittleEndian<int32_t>(static_cast<int32_t>(Bytes.size()), Payload.data());
            return Payload + Bytes;
        };
        CustomData.Set = [](void *Instance, const TPropValue &Value) {
            auto *Obj = static_cast<TGraphObject *>(Instance);
            const QByteArray &Payload = std::get<QByteArray>(Value);
            if (Payload.size() < 4) {
                throw EGraphStreamError(N_("Custom data of an object is cut short"));
            }
            const int32_t Count = qFromLittleEndian<int32_t>(Payload.constData());
            if (Count < 0 || Count > Payload.size() - 4) {
                throw EGraphStreamError(N_("Custom data of an object is cut short"));
            }
            if (Count >= 1) {
                QByteArray Bytes = Payload.mid(4, Count);
                QBuffer Buffer(&Bytes);
                Buffer.open(QIODevice::ReadOnly);
                Obj->Host().DoObjectRead(Obj, Buffer);
            }
        };
        return TPropTable{
            nullptr,
            {
                Prop<&TGraphObject::Text, &TGraphObject::SetText>("Text", TPropKind::String,
                                                                  QString()),
                Prop<&TGraphObject::Hint, &TGraphObject::SetHint>("Hint", TPropKind::String,
                                                                  QString()),
                ObjectProp(
                    "Brush",
                    [](void *I) -> void * { return &static_cast<TGraphObject *>(I)->fBrush; },
                    BrushPropTable),
                ObjectProp(
                    "Pen", [](void *I) -> void * { return &static_cast<TGraphObject *>(I)->fPen; },
                    PenPropTable),
                ObjectProp(
                    "Font",
                    [](void *I) -> void * { return &static_cast<TGraphObject *>(I)->fFont; },
                    FontPropTable,
                    [](const void *I) {
                        return !static_cast<const TGraphObject *>(I)->fParentFont;
                    }),
                Prop<&TGraphObject::ParentFont, &TGraphObject::SetParentFont>(
                    "ParentFont", TPropKind::Bool, int64_t{1}),
                Prop<&TGraphObject::Options, &TGraphObject::SetOptions>(
                    "Options", TPropKind::Set, int64_t{AllOptions.ToBits()}, OptionNames),
                Prop<&TGraphObject::Visible, &TGraphObject::SetVisible>("Visible", TPropKind::Bool,
                                                                        int64_t{1}),
                Prop<&TGraphObject::Tag, &TGraphObject::SetTag>("Tag", TPropKind::Integer,
                                                                int64_t{0}),
                Prop<&TGraphObject::HasCustomData, &TGraphObject::SetHasCustomData>(
                    "HasCustomData", TPropKind::Bool, int64_t{0}),
            },
            {CustomData}};
    }();
    return Table;
}

void TGraphObject::Free(TGraphObject *Obj)
{
    if (!Obj) {
        return;
    }
    try {
        Obj->BeforeDestruction();
    } catch (...) {
        // The object has left its lists before anything that can fail runs.
        delete Obj;
        throw;
    }
    delete Obj;
}

void TGraphObject::AfterConstruction()
{
    if (fStates.Contains(osConverting)) {
        fStates.Exclude(osConverting);
        fStates.Exclude(osCreating);
        Initialize();
        Changed({gcView, gcData, gcPlacement});
        return;
    }
    if (!fStates.Contains(osLoading)) {
        SetID(fOwner->CreateUniqueID(this));
        Host().DoObjectInitInstance(this);
    }
    fStates.Exclude(osCreating);
    Initialize();
    fOwner->Objects().Add(this);
}

void TGraphObject::BeforeDestruction()
{
    if (fStates.Contains(osDestroying)) {
        return;
    }
    fStates.Include(osDestroying);
    if (!fStates.Contains(osConverting)) {
        if (fOwner->IsListed(this)) {
            const int32_t Index = fOwner->ObjectIndex().IndexOf(this);
            if (Index >= 0) {
                fOwner->Objects().Delete(Index);
            }
        }
        NotifyDependents(gdcRemoved);
    }
}

void TGraphObject::SetID(uint32_t Value)
{
    if (Value == fID) {
        return;
    }
    const uint32_t OldID = fID;
    fID = Value;
    fOwner->ObjectIDChanged(this, OldID);
}

void TGraphObject::AssignTo(TGraphObject &Dest) const
{
    Dest.Assign(*this);
}

void TGraphObject::Assign(const TGraphObject &Source)
{
    const TUpdateBatch batch(*this);
    SetText(Source.fText);
    SetHint(Source.fHint);
    fBrush.Assign(Source.fBrush);
    fPen.Assign(Source.fPen);
    fFont.Assign(Source.fFont);
    SetParentFont(Source.fParentFont);
    SetVisible(Source.fVisible);
    SetOptions(Source.fOptions);
}

void TGraphObject::Initialize()
{
    if (!fStates.Contains(osLoading)) {
        LookupDependencies();
    }
    UpdateTextPlacement(true, 0, 0);
    fVisualRect = QueryVisualRect();
    NotifyDependents(gdcChanged);
}

void TGraphObject::Loaded()
{
    fStates.Exclude(osLoading);
    LookupDependencies();
}

void TGraphObject::ReplaceID(uint32_t OldID, uint32_t NewID)
{
    if (fID == OldID) {
        SetID(NewID);
    }
}

void TGraphObject::ReplaceObject(TGraphObject *OldObject, TGraphObject *NewObject)
{
    fDependentList.ReplaceAll(OldObject, NewObject);
    fLinkInputList.ReplaceAll(OldObject, NewObject);
    fLinkOutputList.ReplaceAll(OldObject, NewObject);
}

void TGraphObject::ReplaceFrom(TGraphObject *Predecessor)
{
    fData = Predecessor->fData;
    fLinkInputList.Assign(Predecessor->fLinkInputList);
    fLinkOutputList.Assign(Predecessor->fLinkOutputList);
    fDependentList.Assign(Predecessor->fDependentList);
    // The new object takes the selection slot, so it must carry the flag that goes with it.
    fSelected = Predecessor->fSelected;
    fOwner->ReplaceListed(Predecessor, this);
    TGraphObjectList &Objects = fOwner->Objects();
    for (int32_t I = 0; I < Objects.Count(); ++I) {
        Objects[I]->ReplaceObject(Predecessor, this);
    }
}

TGraphObject *TGraphObject::ConvertTo(const TGraphObjectClass *AnotherClass)
{
    if (!AnotherClass || AnotherClass == &ClassType() || AnotherClass->IsLink() != IsLink()) {
        return this;
    }
    const bool WasListed = fOwner->IsListed(this);
    TGraphObject *NewObject = nullptr;
    try {
        NewObject = AnotherClass->CreateReplacing(this);
    } catch (...) {
        // A failure after the new object took this one's place leaves this one out of every
        // list: it is freed as it would have been.
        if (WasListed && !fOwner->IsListed(this)) {
            Free(this);
        }
        throw;
    }
    Free(this);
    return NewObject;
}

TPropEntries TGraphObject::SaveToEntries()
{
    fStates.Include(osWriting);
    TPropEntries Entries;
    try {
        Entries.push_back({"ID", int64_t{fID}});
        WriteProps(GetPropTable(), this, "G.", Entries);
    } catch (...) {
        fStates.Exclude(osWriting);
        throw;
    }
    fStates.Exclude(osWriting);
    return Entries;
}

void TGraphObject::LoadFromEntries(const TPropEntries &Entries)
{
    const TUpdateBatch batch(*this);
    fStates.Include(osReading);
    try {
        uint32_t NewID = 0;
        for (const TPropEntry &Entry : Entries) {
            if (Entry.Path == "ID") {
                const int64_t Value = PropOrdinal(Entry.Value);
                if (Value < INT32_MIN || Value > UINT32_MAX) {
                    throw EGraphStreamError(N_("Invalid value for property ID"));
                }
                NewID = static_cast<uint32_t>(Value);
            } else if (Entry.Path.starts_with("G.")) {
                ReadProp(GetPropTable(), this, std::string_view(Entry.Path).substr(2), Entry.Value);
            } else if (!IsIgnoredCarrierProp(Entry.Path)) {
                throw EGraphStreamError(N_("Property %1 does not exist"),
                                        {QString::fromLatin1(Entry.Path)});
            }
        }
        SetID(NewID);
        fStates.Exclude(osReading);
        if (!fStates.Contains(osCreating)) {
            Initialize();
            // The shape and the visual rectangle were built anew, without a change report.
            fOwner->ObjectIndex().Invalidate(this);
        }
    } catch (...) {
        fStates.Exclude(osReading);
        throw;
    }
}

void TGraphObject::BeginUpdate()
{
    if (UpdateCount == 0) {
        fStates.Include(osUpdating);
        PendingChanges = {};
    }
    ++UpdateCount;
}

void TGraphObject::EndUpdate()
{
    --UpdateCount;
    if (UpdateCount == 0) {
        fStates.Exclude(osUpdating);
        if (!PendingChanges.IsEmpty()) {
            Changed(PendingChanges);
        }
    }
}

bool TGraphObject::IsUpdateLocked() const
{
    return fStates.Overlaps({osCreating, osDestroying, osReading, osUpdating});
}

void TGraphObject::Changed(TGraphChangeFlags Flags)
{
    // Every change that can move or grow the object passes here, also while it is locked. A
    // change of its look alone (selected, dragged) leaves its area as it is, unless its visual
    // rectangle follows the look.
    if (!(Flags - TGraphChangeFlags{gcView}).IsEmpty() || Flags.Overlaps(fVisualRectFlags)) {
        fOwner->ObjectIndex().Invalidate(this);
    }
    if (IsUpdateLocked()) {
        PendingChanges += Flags;
        return;
    }
    if (Flags.Contains(gcDependency)) {
        UpdateDependencies();
    }
    if (Flags.Contains(gcText) && (!fText.isEmpty() || !fTextToShow.isEmpty())) {
        UpdateTextPlacement(true, 0, 0);
    }
    if (Flags.Contains(gcPlacement)) {
        NotifyDependents(gdcChanged);
    }
    if (Flags.Contains(gcView) && Flags.Overlaps(fVisualRectFlags)) {
        const TRect R = QueryVisualRect();
        if (R != fVisualRect) {
            Flags.Include(gcPlacement);
            Invalidate();
            fVisualRect = R;
        }
    }
    if (Flags.Overlaps({gcData, gcPlacement})) {
        Host().DoObjectChange(this);
    }
    fOwner->ObjectChanged(this, Flags);
}

void TGraphObject::SetVisualRect(const TRect &Value)
{
    fVisualRect = Value;
    fOwner->ObjectIndex().Invalidate(this);
}

void TGraphObject::Invalidate()
{
    Host().InvalidateRect(GetSelectedVisualRect());
}

void TGraphObject::BoundsChanged(int32_t dX, int32_t dY, int32_t dWidth, int32_t dHeight)
{
    const bool PureMove = dWidth == 0 && dHeight == 0;
    if (!fText.isEmpty()) {
        if (!PureMove && fStates.Contains(osUpdating) &&
            !fStates.Overlaps({osCreating, osDestroying, osReading})) {
            // Inside the object's own update the caption is placed once, when the update ends,
            // however often the object is resized (and restyled) meanwhile.
            PendingChanges.Include(gcText);
        } else {
            UpdateTextPlacement(!PureMove, dX, dY);
        }
    }
    const TGraphChangeFlags SavedFlags = fVisualRectFlags;
    if (PureMove) {
        Invalidate();
        fVisualRect = {AddWrapped(fVisualRect.Left, dX), AddWrapped(fVisualRect.Top, dY),
                       AddWrapped(fVisualRect.Right, dX), AddWrapped(fVisualRect.Bottom, dY)};
        // The rectangle is already right; only this report must not recompute it.
        fVisualRectFlags -= {gcData, gcPlacement};
    }
    try {
        Changed({gcView, gcData, gcPlacement});
    } catch (...) {
        fVisualRectFlags = SavedFlags;
        throw;
    }
    fVisualRectFlags = SavedFlags;
}

void TGraphObject::PlaceQuietly(int32_t dX, int32_t dY, int32_t dWidth, int32_t dHeight)
{
    // Reading collects every change report; those of this placing are then dropped, and an
    // update the object was in keeps its own.
    const TGraphChangeFlags Outer = UpdateCount > 0 ? PendingChanges : TGraphChangeFlags{};
    const TUpdateBatch batch(*this);
    fStates.Include(osReading);
    const auto Settle = [this, Outer] {
        fStates.Exclude(osReading);
        PendingChanges = Outer;
    };
    try {
        BoundsChanged(dX, dY, dWidth, dHeight);
    } catch (...) {
        Settle();
        throw;
    }
    Settle();
}

void TGraphObject::NotifyDependents(TGraphDependencyChangeFlag Flag)
{
    for (TGraphObject *Dependent = fDependentList.First(); Dependent;
         Dependent = fDependentList.Next()) {
        const bool Pushed = fDependentList.Push();
        try {
            Dependent->UpdateDependencyTo(this, Flag);
        } catch (...) {
            if (Pushed) {
                fDependentList.Pop();
            }
            throw;
        }
        if (Pushed) {
            fDependentList.Pop();
        }
    }
}

void TGraphObject::LookupDependencies() {}

void TGraphObject::UpdateDependencies() {}

void TGraphObject::UpdateDependencyTo(TGraphObject *, TGraphDependencyChangeFlag) {}

void TGraphObject::UpdateTextPlacement(bool, int32_t, int32_t) {}

void TGraphObject::DependentChanged(TGraphObject *, TGraphObjectListAction) {}

void TGraphObject::LinkInputChanged(TGraphObject *GraphObject, TGraphObjectListAction Action)
{
    if (Action == glAdded) {
        fDependentList.Add(GraphObject);
    } else if (Action == glRemoved) {
        fDependentList.Remove(GraphObject);
    }
}

void TGraphObject::LinkOutputChanged(TGraphObject *GraphObject, TGraphObjectListAction Action)
{
    if (Action == glAdded) {
        fDependentList.Add(GraphObject);
    } else if (Action == glRemoved) {
        fDependentList.Remove(GraphObject);
    }
}

void TGraphObject::ListChanged(TGraphObjectList *Sender, TGraphObject *GraphObject,
                               TGraphObjectListAction Action)
{
    if (Sender == &fDependentList) {
        DependentChanged(GraphObject, Action);
    } else if (Sender == &fLinkInputList) {
        LinkInputChanged(GraphObject, Action);
    } else if (Sender == &fLinkOutputList) {
        LinkOutputChanged(GraphObject, Action);
    }
}

void TGraphObject::StyleChanged(const void *Sender)
{
    if (Sender == &fBrush) {
        Changed({gcView, gcData});
    } else if (Sender == &fPen) {
        Changed({gcView, gcData, gcText, gcPlacement});
    } else {
        fParentFont = false;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphObject::CopyParentFont()
{
    auto Handler = std::move(fFont.OnChange);
    fFont.OnChange = nullptr;
    fFont.Assign(Host().Font());
    fFont.OnChange = std::move(Handler);
}

void TGraphObject::ParentFontChanged()
{
    if (fParentFont) {
        CopyParentFont();
        Changed({gcView, gcText});
    }
}

void TGraphObject::SetText(const QString &Value)
{
    if (Value != fText) {
        fText = Value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphObject::SetHint(const QString &Value)
{
    if (Value != fHint) {
        fHint = Value;
        Changed({gcData});
    }
}

void TGraphObject::SetParentFont(bool Value)
{
    if (Value == fParentFont) {
        return;
    }
    fParentFont = Value;
    if (Value) {
        CopyParentFont();
        Changed({gcView, gcData, gcText});
    } else {
        Changed({gcData});
    }
}

void TGraphObject::SetOptions(TGraphObjectOptions Value)
{
    if (Value != fOptions) {
        fOptions = Value;
        Changed({gcView, gcData});
    }
}

void TGraphObject::SetVisible(bool Value)
{
    if (Value != fVisible) {
        fVisible = Value;
        Changed({gcView, gcData});
    }
}

void TGraphObject::SetHasCustomData(bool Value)
{
    if (Value != fHasCustomData) {
        fHasCustomData = Value;
        Changed({gcData});
    }
}

void TGraphObject::SetSelected(bool Value)
{
    if (!fOptions.Contains(goSelectable)) {
        Value = false;
    }
    if (Value == fSelected) {
        return;
    }
    fSelected = Value;
    if (Value) {
        fOwner->SelectedObjects().Add(this);
    } else {
        fOwner->RemoveFromSelection(this);
    }
    Changed({gcView});
}

bool TGraphObject::Showing() const
{
    return (fVisible || Host().ShowHiddenObjects()) && !fStates.Contains(osDestroying);
}

int32_t TGraphObject::GetZOrder() const
{
    return fOwner->ObjectIndex().IndexOf(const_cast<TGraphObject *>(this));
}

void TGraphObject::SetZOrder(int32_t NewIndex)
{
    TGraphObjectList &Objects = fOwner->Objects();
    if (NewIndex < 0 || NewIndex >= Objects.Count()) {
        NewIndex = Objects.Count() - 1;
    }
    Objects.Move(GetZOrder(), NewIndex);
}

void TGraphObject::BringToFront()
{
    SetZOrder(2147483647);
}

void TGraphObject::SendToBack()
{
    SetZOrder(0);
}

bool TGraphObject::IsLocked() const
{
    return IsLink() ? Host().LockLinks() : Host().LockNodes();
}

bool TGraphObject::Delete(TGraphObject *Obj)
{
    if (!Obj || !Obj->CanDelete()) {
        return false;
    }
    Free(Obj);
    return true;
}

bool TGraphObject::CanDelete()
{
    return Host().DoCanRemoveObject(this);
}

int32_t TGraphObject::NeighborhoodRadius() const
{
    return std::max<int32_t>(fPen.Width() / 2, Host().MarkerSize());
}

TRect TGraphObject::GetSelectedVisualRect() const
{
    const int32_t Grow = Host().MarkerSize() - fPen.Width() / 2;
    if (Grow <= 0) {
        return fVisualRect;
    }
    return {AddWrapped(fVisualRect.Left, -int64_t{Grow}),
            AddWrapped(fVisualRect.Top, -int64_t{Grow}), AddWrapped(fVisualRect.Right, Grow),
            AddWrapped(fVisualRect.Bottom, Grow)};
}

} // namespace talivo
