#pragma once

#include "graph/canvas/Canvas.h"
#include "graph/canvas/GraphUtils.h"
#include "graph/canvas/PlacedRegion.h"
#include "graph/canvas/Types.h"
#include "graph/objects/GraphNodePicture.h"
#include "graph/objects/GraphObject.h"

#include <QRegion>

#include <cstdint>

namespace talivo {

enum TGraphNodeOption : uint8_t { gnoMovable, gnoResizable, gnoShowBackground };
using TGraphNodeOptions = TSet<TGraphNodeOption, uint8_t>;

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

// A graph object that occupies a rectangle of the canvas (Left, Top, Width, Height in graph
// units): a shape given by a region inside the bounds, a caption laid out inside the shape, an
// optional background picture clipped to the shape, and eight resize markers while selected.
// Subclasses supply the shape: the region, the outline, and where a line meets the outline.
//
// The region, the caption rectangle and (for polygons) the vertices follow the bounds: they are
// rebuilt on a resize and only shifted on a move.
class TGraphNode : public TGraphObject {
public:
    explicit TGraphNode(TGraphDocument *owner);

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;
    static const TPropTable &PropTable();

    void Assign(const TGraphObject &source) override;

    // Bounds. SetBounds runs the veto and clamp step (CanMoveResize) and reports a change; the
    // single-property setters store the value as it is while the node is being read.
    int32_t Left() const { return fLeft; }
    void SetLeft(int32_t value);
    int32_t Top() const { return fTop; }
    void SetTop(int32_t value);
    int32_t Width() const { return fWidth; }
    void SetWidth(int32_t value);
    int32_t Height() const { return fHeight; }
    void SetHeight(int32_t value);
    virtual void SetBounds(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight);
    // The owner's rules: options, MinNodeSize, KeepInside, KeepCenterInside and the
    // OnCanMoveResizeNode event may change all six values.
    virtual void CanMoveResize(int32_t &newLeft, int32_t &newTop, int32_t &newWidth,
                               int32_t &newHeight, bool &canMove, bool &canResize);
    TRect GetBoundsRect() const override;
    void SetBoundsRect(const TRect &rect) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    virtual TPoint GetCenter() const;
    TPoint Center() const { return GetCenter(); }

    // Appearance.
    TAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return fLayout; }
    void SetLayout(TTextLayout value);
    int32_t Margin() const { return fMargin; }
    void SetMargin(int32_t value);
    TGraphNodeOptions NodeOptions() const { return fNodeOptions; }
    void SetNodeOptions(TGraphNodeOptions value);
    TGraphNodePicture &Background() { return fBackground; }
    const TGraphNodePicture &Background() const { return fBackground; }
    void SetBackground(const TGraphNodePicture &value) { fBackground.Assign(value); }
    // Insets of the background picture in percent of the width (Left, Right) and of the height
    // (Top, Bottom).
    const TRect &BackgroundMargins() const { return fBackgroundMargins; }
    void SetBackgroundMargins(const TRect &value);

    // The shape in graph units and where the caption is drawn ((0, 0, 0, 0) without caption).
    QRegion Region() const { return fRegion.translated(fRegionShift); }
    // The bounding rectangle of Region, without making it.
    QRect RegionBounds() const { return fRegion.boundingRect().translated(fRegionShift); }
    const TRect &TextRect() const
    {
        SettleText();
        return fTextRect;
    }

    // The points where the line through pt with the slope angle meets the outline.
    virtual TPoints LinkIntersect(const TPoint &pt, double angle) const = 0;

    bool ContainsRect(const TRect &rect) const override;
    TCursor QueryCursor(uint32_t ht) const override;
    TObjectSides QueryMobility(uint32_t ht) const override;
    bool OffsetHitTest(uint32_t ht, int32_t dx, int32_t dy) override;
    bool RegionContains(const TPoint &pt) const;
    bool RegionIntersects(const TRect &rect) const;
    void SnapHitTestOffset(uint32_t ht, int32_t &dx, int32_t &dy) const override;
    bool BeginFollowDrag(uint32_t ht) override;
    TPoint FixHookAnchor() const override;
    TPoint RelativeHookAnchor(const TPoint &pt) const override;

protected:
    ~TGraphNode() override = default;

    void Initialize() override;
    void BoundsChanged(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight) override;
    // The caption is measured only when it is first drawn, hit or asked for: a change of size
    // or font to thousands of marks, or reading them, measures none of them.
    void UpdateTextPlacement(bool recalc, int32_t dx, int32_t dy) override;
    void SettleText() const override;
    TRect QueryVisualRect() const override;
    uint32_t QueryHitTest(const TPoint &pt) const override;

    void DrawText(TCanvas &canvas) override;
    void DrawBody(TCanvas &canvas) override;
    void DrawHighlight(TCanvas &canvas) override;
    void DrawControlPoints(TCanvas &canvas) override;

    // The largest area the caption may take, graph units.
    virtual TRect QueryMaxTextRect() const;
    // Where the caption goes; also stores the caption as drawn.
    virtual TRect QueryTextRect();
    virtual QRegion CreateRegion() const = 0;
    // CreateRegion's region as a shape and its shift, where the shape can be shared with equal
    // nodes; a class that makes its region otherwise than its base overrides both.
    virtual TPlacedRegion CreatePlacedRegion() const { return {CreateRegion(), {}}; }
    // The region in the canvas's device pixels.
    virtual QRegion CreateClipRgn(const TCanvas &canvas) const;
    virtual void DrawBackground(TCanvas &canvas);
    virtual void DrawBorder(TCanvas &canvas) = 0;

    bool IsMovable() const { return fNodeOptions.Contains(gnoMovable); }
    bool IsResizable() const { return fNodeOptions.Contains(gnoResizable); }
    // Right and bottom of the bounds, wrapping like the processor where a file's values overflow.
    int32_t Right() const { return AddWrapped(fLeft, fWidth); }
    int32_t Bottom() const { return AddWrapped(fTop, fHeight); }

private:
    // A cancelled drag puts its followers back.
    friend class TGraphControl;

    // Puts the node back at bounds it had, exactly, as reading its record back would: without
    // the checks of a move or resize and without a change report (the caller reports it).
    void PutBack(const TRect &bounds);
    void BackgroundChanged() { Changed({gcView, gcData}); }
    // Makes the node's shape anew for its bounds.
    void PlaceRegion();
    // The centres of the eight markers, indexed by zone.
    TPoint MarkerCenter(uint32_t zone) const;

    int32_t fLeft = 0;
    int32_t fTop = 0;
    int32_t fWidth = 0;
    int32_t fHeight = 0;
    TAlignment fAlignment = taCenter;
    TTextLayout fLayout = tlCenter;
    int32_t fMargin = 8;
    TGraphNodePicture fBackground;
    TRect fBackgroundMargins;
    TGraphNodeOptions fNodeOptions{gnoMovable, gnoResizable, gnoShowBackground};
    // The shape as made, and how far the node moved since: a move shifts no region, since
    // nodes of one size share the rectangles of theirs.
    QRegion fRegion;
    QPoint fRegionShift;
    TRect fTextRect;
    // fTextRect and the caption as drawn wait to be placed anew.
    bool fTextUnplaced = true;
};

// Where a node stood before it moved or changed its size.
struct TNodePlace {
    TGraphNode *Node = nullptr;
    TRect Bounds;
};

} // namespace talivo
