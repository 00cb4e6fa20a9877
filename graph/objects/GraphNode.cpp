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

int32_t Difference(int32_t newValue, int32_t oldValue)
{
    return AddWrapped(newValue, -int64_t{oldValue});
}

} // namespace

TGraphNode::TGraphNode(TGraphDocument *owner) : TGraphObject(owner)
{
    fBackground.OnChange = [this] { BackgroundChanged(); };
}

const TGraphObjectClass &TGraphNode::StaticClass()
{
    static const TGraphObjectClass objectClass("TGraphNode", &TGraphObject::StaticClass(), nullptr,
                                               &TGraphNode::PropTable);
    return objectClass;
}

const TGraphObjectClass &TGraphNode::ClassType() const
{
    return StaticClass();
}

const TPropTable &TGraphNode::PropTable()
{
    static const TPropTable table = [] {
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
                [](void *instance) -> void * {
                    return &static_cast<TGraphNode *>(instance)->Background();
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
    return table;
}

void TGraphNode::Assign(const TGraphObject &source)
{
    const TUpdateBatch batch(*this);
    TGraphObject::Assign(source);
    const auto *node = dynamic_cast<const TGraphNode *>(&source);
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

void TGraphNode::SetLeft(int32_t value)
{
    if (HasState(osReading))
        fLeft = value;
    else if (value != fLeft)
        SetBounds(value, fTop, fWidth, fHeight);
}

void TGraphNode::SetTop(int32_t value)
{
    if (HasState(osReading))
        fTop = value;
    else if (value != fTop)
        SetBounds(fLeft, value, fWidth, fHeight);
}

void TGraphNode::SetWidth(int32_t value)
{
    if (HasState(osReading))
        fWidth = value;
    else if (value != fWidth)
        SetBounds(fLeft, fTop, value, fHeight);
}

void TGraphNode::SetHeight(int32_t value)
{
    if (HasState(osReading))
        fHeight = value;
    else if (value != fHeight)
        SetBounds(fLeft, fTop, fWidth, value);
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
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t dWidth = 0;
    int32_t dHeight = 0;
    if (canMove) {
        dx = Difference(newLeft, fLeft);
        dy = Difference(newTop, fTop);
        fLeft = newLeft;
        fTop = newTop;
    }
    if (canResize) {
        dWidth = Difference(newWidth, fWidth);
        dHeight = Difference(newHeight, fHeight);
        fWidth = newWidth;
        fHeight = newHeight;
    }
    if (dx != 0 || dy != 0 || dWidth != 0 || dHeight != 0) {
        BoundsChanged(dx, dy, dWidth, dHeight);
        Host().DoNodeMoveResize(this);
    }
}

void TGraphNode::CanMoveResize(int32_t &newLeft, int32_t &newTop, int32_t &newWidth,
                               int32_t &newHeight, bool &canMove, bool &canResize)
{
    TGraphDocument &owner = *Owner();
    canMove = IsMovable();
    canResize = IsResizable();
    const int32_t minSize = owner.MinNodeSize();
    newWidth = std::max(newWidth, minSize);
    newHeight = std::max(newHeight, minSize);
    const TRect &k = owner.GraphConstraints().BoundsRect();
    if (owner.KeepInside) {
        newLeft = std::max(newLeft, k.Left);
        newTop = std::max(newTop, k.Top);
        if (int64_t{newLeft} + newWidth > k.Right) {
            if (newWidth == fWidth)
                newLeft = Difference(k.Right, newWidth);
            else
                newWidth = Difference(k.Right, newLeft);
        }
        if (int64_t{newTop} + newHeight > k.Bottom) {
            if (newHeight == fHeight)
                newTop = Difference(k.Bottom, newHeight);
            else
                newHeight = Difference(k.Bottom, newTop);
        }
    }
    if (owner.KeepCenterInside) {
        const int64_t cX = int64_t{newLeft} + newWidth / 2;
        const int64_t cY = int64_t{newTop} + newHeight / 2;
        if (cX < k.Left)
            newLeft = Difference(k.Left, newWidth / 2);
        if (cY < k.Top)
            newTop = Difference(k.Top, newHeight / 2);
        if (cX > k.Right)
            newLeft = Difference(k.Right, newWidth / 2);
        if (cY > k.Bottom)
            newTop = Difference(k.Bottom, newHeight / 2);
    }
    Host().DoCanMoveResizeNode(this, newLeft, newTop, newWidth, newHeight, canMove, canResize);
}

void TGraphNode::PutBack(const TRect &bounds)
{
    const int32_t dx = Difference(bounds.Left, fLeft);
    const int32_t dy = Difference(bounds.Top, fTop);
    const int32_t width = Difference(bounds.Right, bounds.Left);
    const int32_t height = Difference(bounds.Bottom, bounds.Top);
    const int32_t dWidth = Difference(width, fWidth);
    const int32_t dHeight = Difference(height, fHeight);
    fLeft = bounds.Left;
    fTop = bounds.Top;
    fWidth = width;
    fHeight = height;
    // The shape, the caption and the visual rectangle follow as on any move or resize (a node
    // that only moves moves them along), and the dependents learn of it.
    PlaceQuietly(dx, dy, dWidth, dHeight);
    NotifyDependents(gdcChanged);
    Owner()->ObjectIndex().Invalidate(this);
}

TRect TGraphNode::GetBoundsRect() const
{
    return {fLeft, fTop, Right(), Bottom()};
}

void TGraphNode::SetBoundsRect(const TRect &rect)
{
    SetBounds(rect.Left, rect.Top, Difference(rect.Right, rect.Left),
              Difference(rect.Bottom, rect.Top));
}

void TGraphNode::MoveBy(int32_t dx, int32_t dy)
{
    SetBounds(AddWrapped(fLeft, dx), AddWrapped(fTop, dy), fWidth, fHeight);
}

TPoint TGraphNode::GetCenter() const
{
    return {AddWrapped(fLeft, fWidth / 2), AddWrapped(fTop, fHeight / 2)};
}

void TGraphNode::SetAlignment(TAlignment value)
{
    if (value != fAlignment) {
        fAlignment = value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphNode::SetLayout(TTextLayout value)
{
    if (value != fLayout) {
        fLayout = value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphNode::SetMargin(int32_t value)
{
    if (value != fMargin) {
        fMargin = value;
        Changed({gcView, gcData, gcText});
    }
}

void TGraphNode::SetNodeOptions(TGraphNodeOptions value)
{
    if (value != fNodeOptions) {
        fNodeOptions = value;
        Changed({gcView, gcData});
    }
}

void TGraphNode::SetBackgroundMargins(const TRect &value)
{
    if (value != fBackgroundMargins) {
        fBackgroundMargins = value;
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

void TGraphNode::BoundsChanged(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight)
{
    // While the node is being created its shape is built once, by Initialize.
    if (!HasState(osCreating)) {
        if (dWidth != 0 || dHeight != 0) {
            PlaceRegion();
        } else {
            // Wrapped as the region's own coordinates would wrap, moved step by step.
            fRegionShift = {AddWrapped(fRegionShift.x(), dx), AddWrapped(fRegionShift.y(), dy)};
        }
    }
    TGraphObject::BoundsChanged(dx, dy, dWidth, dHeight);
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

TPoint TGraphNode::RelativeHookAnchor(const TPoint &pt) const
{
    const TPoint center = GetCenter();
    if (RegionContains(pt))
        return center;
    const TPoints crossings = LinkIntersect(pt, LineSlopeAngle(pt, center));
    TPoint nearest;
    if (NearestPoint(crossings, static_cast<int>(crossings.size()) - 1, pt, nearest) >= 0)
        return nearest;
    return center;
}

} // namespace talivo
