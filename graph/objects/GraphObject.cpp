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
bool IsIgnoredCarrierProp(std::string_view path)
{
    return path == "Name" || path == "Tag" || path == "Left" || path == "Top";
}

} // namespace

void TGraphObject::TReplaceableList::ReplaceAll(TGraphObject *oldItem, TGraphObject *newItem)
{
    if (oldItem == newItem)
        return;
    while (Replace(oldItem, newItem) >= 0) {
    }
}

TGraphObject::TGraphObject(TGraphDocument *owner) : fOwner(owner)
{
    fStates.Include(osCreating);
    fFont.Assign(owner->Host().Font());
    fBrush.OnChange = [this] { StyleChanged(&fBrush); };
    fPen.OnChange = [this] { StyleChanged(&fPen); };
    fFont.OnChange = [this] { StyleChanged(&fFont); };
    const auto handler = [this](TGraphObjectList *sender, TGraphObject *graphObject,
                                TGraphObjectListAction action) {
        ListChanged(sender, graphObject, action);
    };
    fDependentList.SetOnChange(handler);
    fLinkInputList.SetOnChange(handler);
    fLinkOutputList.SetOnChange(handler);
}

TGraphObject::~TGraphObject() = default;

const TGraphObjectClass &TGraphObject::StaticClass()
{
    static const TGraphObjectClass objectClass("TGraphObject", nullptr, nullptr,
                                               &TGraphObject::PropTable);
    return objectClass;
}

const TGraphObjectClass &TGraphObject::ClassType() const
{
    return StaticClass();
}

const TPropTable &TGraphObject::PropTable()
{
    static const TPropTable table = [] {
        TPropInfo customData;
        customData.Name = "CustomData";
        customData.Kind = TPropKind::Binary;
        customData.IsStored = [](const void *instance) {
            return static_cast<const TGraphObject *>(instance)->fHasCustomData;
        };
        // The payload is a 32-bit byte count and the bytes the application's OnObjectWrite
        // handler wrote.
        customData.Get = [](const void *instance) -> TPropValue {
            auto *obj = const_cast<TGraphObject *>(static_cast<const TGraphObject *>(instance));
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            obj->Host().DoObjectWrite(obj, buffer);
            QByteArray payload(4, '\0');
            qToLittleEndian<int32_t>(static_cast<int32_t>(bytes.size()), payload.data());
            return payload + bytes;
        };
        customData.Set = [](void *instance, const TPropValue &value) {
            auto *obj = static_cast<TGraphObject *>(instance);
            const QByteArray &payload = std::get<QByteArray>(value);
            if (payload.size() < 4)
                throw EGraphStreamError(N_("Custom data of an object is cut short"));
            const int32_t count = qFromLittleEndian<int32_t>(payload.constData());
            if (count < 0 || count > payload.size() - 4)
                throw EGraphStreamError(N_("Custom data of an object is cut short"));
            if (count >= 1) {
                QByteArray bytes = payload.mid(4, count);
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                obj->Host().DoObjectRead(obj, buffer);
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
                    [](void *i) -> void * { return &static_cast<TGraphObject *>(i)->fBrush; },
                    BrushPropTable),
                ObjectProp(
                    "Pen", [](void *i) -> void * { return &static_cast<TGraphObject *>(i)->fPen; },
                    PenPropTable),
                ObjectProp(
                    "Font",
                    [](void *i) -> void * { return &static_cast<TGraphObject *>(i)->fFont; },
                    FontPropTable,
                    [](const void *i) {
                        return !static_cast<const TGraphObject *>(i)->fParentFont;
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
            {customData}};
    }();
    return table;
}

void TGraphObject::Free(TGraphObject *obj)
{
    if (!obj)
        return;
    try {
        obj->BeforeDestruction();
    } catch (...) {
        // The object has left its lists before anything that can fail runs.
        delete obj;
        throw;
    }
    delete obj;
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
    if (fStates.Contains(osDestroying))
        return;
    fStates.Include(osDestroying);
    if (!fStates.Contains(osConverting)) {
        if (fOwner->IsListed(this)) {
            const int32_t index = fOwner->ObjectIndex().IndexOf(this);
            if (index >= 0)
                fOwner->Objects().Delete(index);
        }
        NotifyDependents(gdcRemoved);
    }
}

void TGraphObject::SetID(uint32_t value)
{
    if (value == fID)
        return;
    const uint32_t oldId = fID;
    fID = value;
    fOwner->ObjectIDChanged(this, oldId);
}

void TGraphObject::AssignTo(TGraphObject &dest) const
{
    dest.Assign(*this);
}

void TGraphObject::Assign(const TGraphObject &source)
{
    const TUpdateBatch batch(*this);
    SetText(source.fText);
    SetHint(source.fHint);
    fBrush.Assign(source.fBrush);
    fPen.Assign(source.fPen);
    fFont.Assign(source.fFont);
    SetParentFont(source.fParentFont);
    SetVisible(source.fVisible);
    SetOptions(source.fOptions);
}

void TGraphObject::Initialize()
{
    if (!fStates.Contains(osLoading))
        LookupDependencies();
    UpdateTextPlacement(true, 0, 0);
    fVisualRect = QueryVisualRect();
    NotifyDependents(gdcChanged);
}

void TGraphObject::Loaded()
{
    fStates.Exclude(osLoading);
    LookupDependencies();
}

void TGraphObject::ReplaceID(uint32_t oldId, uint32_t newId)
{
    if (fID == oldId)
        SetID(newId);
}

void TGraphObject::ReplaceObject(TGraphObject *oldObject, TGraphObject *newObject)
{
    fDependentList.ReplaceAll(oldObject, newObject);
    fLinkInputList.ReplaceAll(oldObject, newObject);
    fLinkOutputList.ReplaceAll(oldObject, newObject);
}

void TGraphObject::ReplaceFrom(TGraphObject *predecessor)
{
    fData = predecessor->fData;
    fLinkInputList.Assign(predecessor->fLinkInputList);
    fLinkOutputList.Assign(predecessor->fLinkOutputList);
    fDependentList.Assign(predecessor->fDependentList);
    // The new object takes the selection slot, so it must carry the flag that goes with it.
    fSelected = predecessor->fSelected;
    fOwner->ReplaceListed(predecessor, this);
    TGraphObjectList &objects = fOwner->Objects();
    for (int32_t i = 0; i < objects.Count(); ++i)
        objects[i]->ReplaceObject(predecessor, this);
}

TGraphObject *TGraphObject::ConvertTo(const TGraphObjectClass *anotherClass)
{
    if (!anotherClass || anotherClass == &ClassType() || anotherClass->IsLink() != IsLink())
        return this;
    const bool wasListed = fOwner->IsListed(this);
    TGraphObject *newObject = nullptr;
    try {
        newObject = anotherClass->CreateReplacing(this);
    } catch (...) {
        // A failure after the new object took this one's place leaves this one out of every
        // list: it is freed as it would have been.
        if (wasListed && !fOwner->IsListed(this))
            Free(this);
        throw;
    }
    Free(this);
    return newObject;
}

TPropEntries TGraphObject::SaveToEntries()
{
    fStates.Include(osWriting);
    TPropEntries entries;
    try {
        entries.push_back({"ID", int64_t{fID}});
        WriteProps(GetPropTable(), this, "G.", entries);
    } catch (...) {
        fStates.Exclude(osWriting);
        throw;
    }
    fStates.Exclude(osWriting);
    return entries;
}

void TGraphObject::LoadFromEntries(const TPropEntries &entries)
{
    const TUpdateBatch batch(*this);
    fStates.Include(osReading);
    try {
        uint32_t newId = 0;
        for (const TPropEntry &entry : entries) {
            if (entry.Path == "ID") {
                const int64_t value = PropOrdinal(entry.Value);
                if (value < INT32_MIN || value > UINT32_MAX)
                    throw EGraphStreamError(N_("Invalid value for property ID"));
                newId = static_cast<uint32_t>(value);
            } else if (entry.Path.starts_with("G.")) {
                ReadProp(GetPropTable(), this, std::string_view(entry.Path).substr(2), entry.Value);
            } else if (!IsIgnoredCarrierProp(entry.Path)) {
                throw EGraphStreamError(N_("Property %1 does not exist"),
                                        {QString::fromLatin1(entry.Path)});
            }
        }
        SetID(newId);
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
        if (!PendingChanges.IsEmpty())
            Changed(PendingChanges);
    }
}

bool TGraphObject::IsUpdateLocked() const
{
    return fStates.Overlaps({osCreating, osDestroying, osReading, osUpdating});
}

void TGraphObject::Changed(TGraphChangeFlags flags)
{
    // Every change that can move or grow the object passes here, also while it is locked. A
    // change of its look alone (selected, dragged) leaves its area as it is, unless its visual
    // rectangle follows the look.
    if (!(flags - TGraphChangeFlags{gcView}).IsEmpty() || flags.Overlaps(fVisualRectFlags))
        fOwner->ObjectIndex().Invalidate(this);
    if (IsUpdateLocked()) {
        PendingChanges += flags;
        return;
    }
    if (flags.Contains(gcDependency))
        UpdateDependencies();
    if (flags.Contains(gcText) && (!fText.isEmpty() || !fTextToShow.isEmpty()))
        UpdateTextPlacement(true, 0, 0);
    if (flags.Contains(gcPlacement))
        NotifyDependents(gdcChanged);
    if (flags.Contains(gcView) && flags.Overlaps(fVisualRectFlags)) {
        const TRect r = QueryVisualRect();
        if (r != fVisualRect) {
            flags.Include(gcPlacement);
            Invalidate();
            fVisualRect = r;
        }
    }
    if (flags.Overlaps({gcData, gcPlacement}))
        Host().DoObjectChange(this);
    fOwner->ObjectChanged(this, flags);
}

void TGraphObject::SetVisualRect(const TRect &value)
{
    fVisualRect = value;
    fOwner->ObjectIndex().Invalidate(this);
}

void TGraphObject::Invalidate()
{
    Host().InvalidateRect(GetSelectedVisualRect());
}

void TGraphObject::BoundsChanged(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight)
{
    const bool pureMove = dWidth == 0 && dHeight == 0;
    if (!fText.isEmpty()) {
        if (!pureMove && fStates.Contains(osUpdating) &&
            !fStates.Overlaps({osCreating, osDestroying, osReading})) {
            // Inside the object's own update the caption is placed once, when the update ends,
            // however often the object is resized (and restyled) meanwhile.
            PendingChanges.Include(gcText);
        } else {
            UpdateTextPlacement(!pureMove, dx, dy);
        }
    }
    const TGraphChangeFlags savedFlags = fVisualRectFlags;
    if (pureMove) {
        Invalidate();
        fVisualRect = {AddWrapped(fVisualRect.Left, dx), AddWrapped(fVisualRect.Top, dy),
                       AddWrapped(fVisualRect.Right, dx), AddWrapped(fVisualRect.Bottom, dy)};
        // The rectangle is already right; only this report must not recompute it.
        fVisualRectFlags -= {gcData, gcPlacement};
    }
    try {
        Changed({gcView, gcData, gcPlacement});
    } catch (...) {
        fVisualRectFlags = savedFlags;
        throw;
    }
    fVisualRectFlags = savedFlags;
}

void TGraphObject::PlaceQuietly(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight)
{
    // Reading collects every change report; those of this placing are then dropped, and an
    // update the object was in keeps its own.
    const TGraphChangeFlags outer = UpdateCount > 0 ? PendingChanges : TGraphChangeFlags{};
    const TUpdateBatch batch(*this);
    fStates.Include(osReading);
    const auto settle = [this, outer] {
        fStates.Exclude(osReading);
        PendingChanges = outer;
    };
    try {
        BoundsChanged(dx, dy, dWidth, dHeight);
    } catch (...) {
        settle();
        throw;
    }
    settle();
}

void TGraphObject::NotifyDependents(TGraphDependencyChangeFlag flag)
{
    for (TGraphObject *dependent = fDependentList.First(); dependent;
         dependent = fDependentList.Next()) {
        const bool pushed = fDependentList.Push();
        try {
            dependent->UpdateDependencyTo(this, flag);
        } catch (...) {
            if (pushed)
                fDependentList.Pop();
            throw;
        }
        if (pushed)
            fDependentList.Pop();
    }
}

void TGraphObject::LookupDependencies() {}

void TGraphObject::UpdateDependencies() {}

void TGraphObject::UpdateDependencyTo(TGraphObject *, TGraphDependencyChangeFlag) {}

void TGraphObject::UpdateTextPlacement(bool, int32_t, int32_t) {}

void TGraphObject::DependentChanged(TGraphObject *, TGraphObjectListAction) {}

void TGraphObject::LinkInputChanged(TGraphObject *graphObject, TGraphObjectListAction action)
{
    if (action == glAdded)
        fDependentList.Add(graphObject);
    else if (action == glRemoved)
        fDependentList.Remove(graphObject);
}

void TGraphObject::LinkOutputChanged(TGraphObject *graphObject, TGraphObjectListAction action)
{
    if (action == glAdded)
        fDependentList.Add(graphObject);
    else if (action == glRemoved)
        fDependentList.Remove(graphObject);
}

void TGraphObject::ListChanged(TGraphObjectList *sender, TGraphObject *graphObject,
                               TGraphObjectListAction action)
{
    if (sender == &fDependentList)
        DependentChanged(graphObject, action);
    else if (sender == &fLinkInputList)
        LinkInputChanged(graphObject, action);
    else if (sender == &fLinkOutputList)
        LinkOutputChanged(graphObject, action);
}

void TGraphObject::StyleChanged(const void *sender)
{
    if (sender == &fBrush) {
        Changed({gcView, gcData});
    } else if (sender == &fPen) {
        Changed({gcView, gcData, gcText, gcPlacement});
    } else {
        fParentFont = false;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphObject::CopyParentFont()
{
    auto handler = std::move(fFont.OnChange);
    fFont.OnChange = nullptr;
    fFont.Assign(Host().Font());
    fFont.OnChange = std::move(handler);
}

void TGraphObject::ParentFontChanged()
{
    if (fParentFont) {
        CopyParentFont();
        Changed({gcView, gcText});
    }
}

void TGraphObject::SetText(const QString &value)
{
    if (value != fText) {
        fText = value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphObject::SetHint(const QString &value)
{
    if (value != fHint) {
        fHint = value;
        Changed({gcData});
    }
}

void TGraphObject::SetParentFont(bool value)
{
    if (value == fParentFont)
        return;
    fParentFont = value;
    if (value) {
        CopyParentFont();
        Changed({gcView, gcData, gcText});
    } else {
        Changed({gcData});
    }
}

void TGraphObject::SetOptions(TGraphObjectOptions value)
{
    if (value != fOptions) {
        fOptions = value;
        Changed({gcView, gcData});
    }
}

void TGraphObject::SetVisible(bool value)
{
    if (value != fVisible) {
        fVisible = value;
        Changed({gcView, gcData});
    }
}

void TGraphObject::SetHasCustomData(bool value)
{
    if (value != fHasCustomData) {
        fHasCustomData = value;
        Changed({gcData});
    }
}

void TGraphObject::SetSelected(bool value)
{
    if (!fOptions.Contains(goSelectable))
        value = false;
    if (value == fSelected)
        return;
    fSelected = value;
    if (value)
        fOwner->SelectedObjects().Add(this);
    else
        fOwner->RemoveFromSelection(this);
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

void TGraphObject::SetZOrder(int32_t newIndex)
{
    TGraphObjectList &objects = fOwner->Objects();
    if (newIndex < 0 || newIndex >= objects.Count())
        newIndex = objects.Count() - 1;
    objects.Move(GetZOrder(), newIndex);
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

bool TGraphObject::Delete(TGraphObject *obj)
{
    if (!obj || !obj->CanDelete())
        return false;
    Free(obj);
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
    const int32_t grow = Host().MarkerSize() - fPen.Width() / 2;
    if (grow <= 0)
        return fVisualRect;
    return {AddWrapped(fVisualRect.Left, -int64_t{grow}),
            AddWrapped(fVisualRect.Top, -int64_t{grow}), AddWrapped(fVisualRect.Right, grow),
            AddWrapped(fVisualRect.Bottom, grow)};
}

} // namespace talivo
