#include "graph/objects/GraphNode.h"

#include "graph/objects/GraphDocument.h"
#include "graph/objects/UpdateBatch.h"

#include <algorithm>

namespace talivo {

namespace {

constexpr const char *const kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr const char *const kLayoutNames[] = {"tlTop", "tlCenter", "tlBottom"};
constexpr const char *const kNodeOptionNames[] = {"gnoMovable", "gnoResizable",
                                                  "gnoShowBackground"};

int32_t Difference(int32_t NewValue, int32_t OldValue)
{
    return AddWrapped(NewValue, -int64_t{OldValue});
}

} // namespace

TGraphNode::TGraphNode(TGraphDocument *AOwner) : TGraphObject(AOwner)
{
    fBackground.OnChange = [this] { BackgroundChanged(); };
}

const TGraphObjectClass &TGraphNode::StaticClass()
{
    static const TGraphObjectClass Class("TGraphNode", &TGraphObject::StaticClass(), nullptr,
                                         &TGraphNode::PropTable);
    return Class;
}

const TGraphObjectClass &TGraphNode::ClassType() const
{
    return StaticClass();
}

const TPropTable &TGraphNode::PropTable()
{
    static const TPropTable Table = [] {
        TPropTable table;
        table.Base = &TGraphObject::PropTable();
        table.Published = {
            Prop<&TGraphNode::Left, &TGraphNode::SetLeft>("Left", TPropKind::Integer),
            Prop<&TGraphNode::Top, &TGraphNode::SetTop>("Top", TPropKind::Integer),
            Prop<&TGraphNode::Width, &TGraphNode::SetWidth>("Width", TPropKind::Integer),
            Prop<&TGraphNode::Height, &TGraphNode::SetHeight>("Height", TPropKind::Integer),
            Prop<&TGraphNode::Alignment, &TGraphNode::SetAlignment>(
                "Alignment", TPropKind::Enum, int64_t{taCenter}, kAlignmentNames),
            Prop<&TGraphNode::Layout, &TGraphNode::SetLayout>("Layout", TPropKind::Enum,
                                                              int64_t{tlCenter}, kLayoutNames),
            Prop<&TGraphNode::Margin, &TGraphNode::SetMargin>("Margin", TPropKind::Integer,
                                                              int64_t{8}),
            ObjectProp(
                "Background",
                [](void *Instance) -> void * {
                    return &static_cast<TGraphNode *>(Instance)->Background();
                },
                &TGraphNodePicture::PropTable),
            Prop<&TGraphNode::NodeOptions, &TGraphNode::SetNodeOptions>(
                "NodeOptions", TPropKind::Set,
                int64_t{TGraphNodeOptions{gnoMovable, gnoResizable, gnoShowBackground}.ToBits()},
                kNodeOptionNames),
        };
        table.Defined = {
            Prop<&TGraphNode::BackgroundMargins, &TGraphNode::SetBackgroundMargins>(
                "BackgroundMargins", TPropKind::Rect, TRect{}),
        };
        return table;
    }();
    return Table;
}

void TGraphNode::Assign(const TGraphObject &Source)
{
    const TUpdateBatch batch(*this);
    TGraphObject::Assign(Source);
    const auto *node = dynamic_cast<const TGraphNode *>(&Source);
    if (node != nullptr && node != this) {
        fBackground.Assign(node->fBackground);
        SetAlignment(node->fAlignment);
        SetLayout(node->fLayout);
        SetMargin(node->fMargin);
        SetNodeOptions(node->fNodeOptions);
        SetBackgroundMargins(node->fBackgroundMargins);
        SetBounds(node->fLeft, node->fTop, node->fWidth, node->fHeight);
    }
}

void TGraphNode::SetLeft(int32_t Value)
{
    if (HasState(osReading))
        fLeft = Value;
    else if (Value != fLeft)
        SetBounds(Value, fTop, fWidth, fHeight);
}

void TGraphNode::SetTop(int32_t Value)
{
    if (HasState(osReading))
        fTop = Value;
    else if (Value != fTop)
        SetBounds(fLeft, Value, fWidth, fHeight);
}

void TGraphNode::SetWidth(int32_t Value)
{
    if (HasState(osReading))
        fWidth = Value;
    else if (Value != fWidth)
        SetBounds(fLeft, fTop, Value, fHeight);
}

void TGraphNode::SetHeight(int32_t Value)
{
    if (HasState(osReading))
        fHeight = Value;
    else if (Value != fHeight)
        SetBounds(fLeft, fTop, fWidth, Value);
}

void TGraphNode::SetBounds(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight)
{
    int32_t newLeft = aLeft;
    int32_t newTop = aTop;
    int32_t newWidth = aWidth;
    int32_t newHeight = aHeight;
    bool canMove = false;
    bool canResize = false;
    CanMoveResize(newLeft, newTop, newWidth, newHeight, canMove, canResize);
    if (!canMove && !canResize)
        return;
    int32_t dX = 0;
    int32_t dY = 0;
    int32_t dWidth = 0;
    int32_t dHeight = 0;
    if (canMove) {
        dX = Difference(newLeft, fLeft);
        dY = Difference(newTop, fTop);
        fLeft = newLeft;
        fTop = newTop;
    }
    if (canResize) {
        dWidth = Difference(newWidth, fWidth);
        dHeight = Difference(newHeight, fHeight);
        fWidth = newWidth;
        fHeight = newHeight;
    }
    if (dX != 0 || dY != 0 || dWidth != 0 || dHeight != 0) {
        BoundsChanged(dX, dY, dWidth, dHeight);
        Host().DoNodeMoveResize(this);
    }
}

void TGraphNode::CanMoveResize(int32_t &NewLeft, int32_t &NewTop, int32_t &NewWidth,
                               int32_t &NewHeight, bool &CanMove, bool &CanResize)
{
    TGraphDocument &owner = *Owner();
    CanMove = IsMovable();
    CanResize = IsResizable();
    const int32_t minSize = owner.MinNodeSize();
    NewWidth = std::max(NewWidth, minSize);
    NewHeight = std::max(NewHeight, minSize);
    const TRect &k = owner.GraphConstraints().BoundsRect();
    if (owner.KeepInside) {
        NewLeft = std::max(NewLeft, k.Left);
        NewTop = std::max(NewTop, k.Top);
        if (int64_t{NewLeft} + NewWidth > k.Right) {
            if (NewWidth == fWidth)
                NewLeft = Difference(k.Right, NewWidth);
            else
                NewWidth = Difference(k.Right, NewLeft);
        }
        if (int64_t{NewTop} + NewHeight > k.Bottom) {
            if (NewHeight == fHeight)
                NewTop = Difference(k.Bottom, NewHeight);
            else
                NewHeight = Difference(k.Bottom, NewTop);
        }
    }
    if (owner.KeepCenterInside) {
        const int64_t cX = int64_t{NewLeft} + NewWidth / 2;
        const int64_t cY = int64_t{NewTop} + NewHeight / 2;
        if (cX < k.Left)
            NewLeft = Difference(k.Left, NewWidth / 2);
        if (cY < k.Top)
            NewTop = Difference(k.Top, NewHeight / 2);
        if (cX > k.Right)
            NewLeft = Difference(k.Right, NewWidth / 2);
        if (cY > k.Bottom)
            NewTop = Difference(k.Bottom, NewHeight / 2);
    }
    Host().DoCanMoveResizeNode(this, NewLeft, NewTop, NewWidth, NewHeight, CanMove, CanResize);
}

void TGraphNode::PutBack(const TRect &Bounds)
{
    const int32_t dX = Difference(Bounds.Left, fLeft);
    const int32_t dY = Difference(Bounds.Top, fTop);
    const int32_t width = Difference(Bounds.Right, Bounds.Left);
    const int32_t height = Difference(Bounds.Bottom, Bounds.Top);
    const int32_t dWidth = Difference(width, fWidth);
    const int32_t dHeight = Difference(height, fHeight);
    fLeft = Bounds.Left;
    fTop = Bounds.Top;
    fWidth = width;
    fHeight = height;
    // The shape, the caption and the visual rectangle follow as on any move or resize (a node
    // that only moves moves them along), and the dependents learn of it.
    PlaceQuietly(dX, dY, dWidth, dHeight);
    NotifyDependents(gdcChanged);
    Owner()->ObjectIndex().Invalidate(this);
}

TRect TGraphNode::GetBoundsRect() const
{
    return {fLeft, fTop, Right(), Bottom()};
}

void TGraphNode::SetBoundsRect(const TRect &Rect)
{
    SetBounds(Rect.Left, Rect.Top, Difference(Rect.Right, Rect.Left),
              Difference(Rect.Bottom, Rect.Top));
}

void TGraphNode::MoveBy(int32_t dX, int32_t dY)
{
    SetBounds(AddWrapped(fLeft, dX), AddWrapped(fTop, dY), fWidth, fHeight);
}

TPoint TGraphNode::GetCenter() const
{
    return {AddWrapped(fLeft, fWidth / 2), AddWrapped(fTop, fHeight / 2)};
}

void TGraphNode::SetAlignment(TAlignment Value)
{
    if (Value != fAlignment) {
        fAlignment = Value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphNode::SetLayout(TTextLayout Value)
{
    if (Value != fLayout) {
        fLayout = Value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphNode::SetMargin(int32_t Value)
{
    if (Value != fMargin) {
        fMargin = Value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphNode::SetNodeOptions(TGraphNodeOptions Value)
{
    if (Value != fNodeOptions) {
        fNodeOptions = Value;
        Changed({gcView, gcData});
    }
}

void TGraphNode::SetBackgroundMargins(const TRect &Value)
{
    if (Value != fBackgroundMargins) {
        fBackgroundMargins = Value;
        Changed({gcView, gcData});
    }
}

void TGraphNode::PlaceRegion()
{
    TPlacedRegion placed = CreatePlacedRegion();
    fRegion = std::move(placed.Shape);
    fRegionShift = placed.Shift;
}

void TGraphNode::Initialize()
{
    PlaceRegion();
    TGraphObject::Initialize();
}

void TGraphNode::BoundsChanged(int32_t dX, int32_t dY, int32_t dWidth, int32_t dHeight)
{
    // While the node is being created its shape is built once, by Initialize.
    if (!HasState(osCreating)) {
        if (dWidth != 0 || dHeight != 0) {
            PlaceRegion();
        } else {
            // Wrapped as the region's own coordinates would wrap, moved step by step.
            fRegionShift = {AddWrapped(fRegionShift.x(), dX), AddWrapped(fRegionShift.y(), dY)};
        }
    }
    TGraphObject::BoundsChanged(dX, dY, dWidth, dHeight);
}

TRect TGraphNode::QueryVisualRect() const
{
    TRect rect = GetBoundsRect();
    if (Pen().Style() != psInsideFrame) {
        const int64_t grow = int64_t{Pen().Width()} / 2 + 1;
        rect = {AddWrapped(rect.Left, -grow), AddWrapped(rect.Top, -grow),
                AddWrapped(rect.Right, grow), AddWrapped(rect.Bottom, grow)};
    }
    return rect;
}

TPoint TGraphNode::FixHookAnchor() const
{
    return GetCenter();
}

TPoint TGraphNode::RelativeHookAnchor(const TPoint &Pt) const
{
    const TPoint center = GetCenter();
    if (RegionContains(Pt))
        return center;
    const TPoints crossings = LinkIntersect(Pt, LineSlopeAngle(Pt, center));
    TPoint nearest;
    if (NearestPoint(crossings, static_cast<int>(crossings.size()) - 1, Pt, nearest) >= 0)
        return nearest;
    return center;
}

} // namespace talivo
