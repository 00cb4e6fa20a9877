#include "graph/canvas/CompatibleCanvas.h"
#include "graph/canvas/GraphNodeRegion.h"
#include "graph/canvas/TextFit.h"
#include "graph/control/GraphControl.h"
#include "graph/objects/CircularFlagNode.h"
#include "graph/objects/CircularMarkNode.h"
#include "graph/objects/CircularNode.h"
#include "graph/objects/EllipticNode.h"
#include "graph/objects/GraphClasses.h"
#include "graph/objects/HexagonalNode.h"
#include "graph/objects/RectangularNode.h"
#include "graph/objects/TriangularNode.h"

#include <QImage>
#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace talivo {

static void PrintTo(const TRect &rect, std::ostream *os)
{
    *os << "(" << rect.Left << ", " << rect.Top << ", " << rect.Right << ", " << rect.Bottom << ")";
}

static void PrintTo(const TPoint &pt, std::ostream *os)
{
    *os << "(" << pt.X << ", " << pt.Y << ")";
}

namespace {

class GraphNodeTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterGraphClasses();
        fGraph = std::make_unique<TGraphControl>();
    }

    template <typename T> T *Insert(const TRect &bounds)
    {
        return static_cast<T *>(fGraph->InsertNode(bounds, &T::StaticClass()));
    }

    // The node drawn on white; each pixel it touched is not white.
    static QImage Drawn(TGraphNode &node, int width = 300, int height = 200)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        TCanvas canvas;
        EXPECT_TRUE(canvas.BeginPaint(image));
        node.Draw(canvas);
        canvas.EndPaint();
        return image;
    }

    // The box around the pixels of the given colour, right and bottom excluded.
    static TRect InkBounds(const QImage &image, QRgb color = qRgb(0, 0, 0))
    {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF))
                    box |= QRect(x, y, 1, 1);
        return {box.left(), box.top(), box.right() + 1, box.bottom() + 1};
    }

    static bool Inked(const QImage &image, int x, int y)
    {
        return (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    }

    std::unique_ptr<TGraphControl> fGraph;
};

TEST_F(GraphNodeTest, CircleHitsInsideItsRegionOnly)
{
    TCircularNode *node = Insert<TCircularNode>({90, 40, 110, 60});
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Region(), EllipseRegion(90, 40, 110, 60));
    EXPECT_EQ(node->HitTest({100, 50}), hzBody);
    EXPECT_EQ(node->HitTest({90, 40}), hzNone);
    EXPECT_EQ(node->HitTest({110, 50}), hzBody);

    node->SetMargin(0);
    node->SetText(QStringLiteral("#1"));
    const TRect caption = node->TextRect();
    ASSERT_TRUE(caption.Contains({100, 50}));
    EXPECT_EQ(node->HitTest({100, 50}), hzBody | hzCaption);
    node->SetOptions({goSelectable});
    EXPECT_EQ(node->HitTest({100, 50}), hzBody);

    node->MoveBy(5, 7);
    EXPECT_EQ(node->Region(), EllipseRegion(95, 47, 115, 67));
    EXPECT_EQ(node->TextRect().Left, caption.Left + 5);
    EXPECT_EQ(node->TextRect().Top, caption.Top + 7);
}

TEST_F(GraphNodeTest, SizeAndOptionRulesApplyExceptWhileReading)
{
    fGraph->SetMinNodeSize(10);
    TRectangularNode *small = Insert<TRectangularNode>({0, 0, 5, 20});
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Width(), 10);

    TRectangularNode *node = Insert<TRectangularNode>({20, 20, 40, 40});
    node->SetNodeOptions({gnoMovable, gnoShowBackground});
    node->SetWidth(30);
    EXPECT_EQ(node->Width(), 20);
    node->SetLeft(5);
    EXPECT_EQ(node->Left(), 5);

    const TPropEntries entries = {{"ID", int64_t{9}},        {"G.Left", int64_t{1}},
                                  {"G.Top", int64_t{2}},     {"G.Width", int64_t{5}},
                                  {"G.Height", int64_t{30}}, {"G.NodeOptions", int64_t{5}}};
    auto *read = static_cast<TGraphNode *>(
        TRectangularNode::StaticClass().CreateLoaded(&fGraph->Document(), entries));
    EXPECT_EQ(read->GetBoundsRect(), (TRect{1, 2, 6, 32}));
    EXPECT_EQ(read->Region(), PolygonRegion({{1, 2}, {6, 2}, {6, 32}, {1, 32}}));
}

TEST_F(GraphNodeTest, ConstraintsClampMovesAndResizes)
{
    fGraph->GraphConstraints().SetBoundsRect({0, 0, 100, 100});
    // A new node has no size yet, so whatever crosses the edge is cut rather than moved back.
    TRectangularNode *node = Insert<TRectangularNode>({80, 80, 110, 110});
    EXPECT_EQ(node->GetBoundsRect(), (TRect{80, 80, 100, 100}));
    node->SetWidth(50);
    EXPECT_EQ(node->GetBoundsRect(), (TRect{80, 80, 100, 100}));
    node->SetLeft(90);
    EXPECT_EQ(node->GetBoundsRect(), (TRect{80, 80, 100, 100}));
    node->SetLeft(-5);
    EXPECT_EQ(node->GetBoundsRect(), (TRect{0, 80, 20, 100}));

    fGraph->KeepInside = false;
    fGraph->KeepCenterInside = true;
    node->SetBounds(-40, 150, 30, 30);
    EXPECT_EQ(node->GetBoundsRect(), (TRect{-15, 85, 15, 115}));

    int vetoed = 0;
    fGraph->OnCanMoveResizeNode = [&](TGraphControl *, TGraphNode *, int32_t &, int32_t &,
                                      int32_t &, int32_t &, bool &canMove, bool &) {
        canMove = false;
        ++vetoed;
    };
    int reported = 0;
    fGraph->OnNodeMoveResize = [&](TGraphControl *, TGraphNode *) { ++reported; };
    node->SetBounds(10, 10, 40, 40);
    EXPECT_EQ(node->GetBoundsRect(), (TRect{-15, 85, 25, 125}));
    node->SetBounds(-15, 85, 40, 40);
    EXPECT_EQ(vetoed, 2);
    EXPECT_EQ(reported, 1);
}

TEST_F(GraphNodeTest, SelectedNodeAnswersMarkerZonesWithCursors)
{
    TRectangularNode *node = Insert<TRectangularNode>({100, 100, 200, 150});
    node->SetSelected(true);
    EXPECT_EQ(node->HitTest({100, 100}), hzTopLeft);
    EXPECT_EQ(node->HitTest({150, 100}), hzTop);
    EXPECT_EQ(node->HitTest({202, 98}), hzTopRight);
    EXPECT_EQ(node->HitTest({97, 125}), hzLeft);
    EXPECT_EQ(node->HitTest({200, 125}), hzRight);
    EXPECT_EQ(node->HitTest({100, 150}), hzBottomLeft);
    EXPECT_EQ(node->HitTest({150, 152}), hzBottom);
    EXPECT_EQ(node->HitTest({200, 150}), hzBottomRight);
    EXPECT_EQ(node->HitTest({150, 125}), hzBody);

    EXPECT_EQ(node->QueryCursor(hzLeft), crSizeWE);
    EXPECT_EQ(node->QueryCursor(hzBottom), crSizeNS);
    EXPECT_EQ(node->QueryCursor(hzBottomRight), crSizeNWSE);
    EXPECT_EQ(node->QueryCursor(hzTopRight), crSizeNESW);
    EXPECT_EQ(node->QueryCursor(hzBody | hzCaption), crSizeAll);
    EXPECT_EQ(node->QueryCursor(hzNone), fGraph->Cursor());
    node->SetNodeOptions({gnoResizable});
    EXPECT_EQ(node->QueryCursor(hzBody), crHandPoint);
    EXPECT_EQ(node->QueryCursor(hzLeft), crSizeWE);
    fGraph->SetLockNodes(true);
    EXPECT_EQ(node->QueryCursor(hzLeft), crHandPoint);

    EXPECT_EQ(node->QueryMobility(hzLeft), (TObjectSides{osLeft}));
    EXPECT_EQ(node->QueryMobility(hzBottomRight), (TObjectSides{osRight, osBottom}));
    EXPECT_EQ(node->QueryMobility(hzCaption), (TObjectSides{osLeft, osTop, osRight, osBottom}));
    EXPECT_TRUE(node->QueryMobility(hzNone).IsEmpty());
}

TEST_F(GraphNodeTest, OffsetHitTestKeepsTheOppositeEdgeOrRefuses)
{
    fGraph->SetMinNodeSize(10);
    TRectangularNode *node = Insert<TRectangularNode>({50, 50, 70, 70});
    EXPECT_TRUE(node->OffsetHitTest(hzLeft, 15, 0));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{50, 50, 70, 70}));
    EXPECT_TRUE(node->OffsetHitTest(hzLeft, 5, 0));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{55, 50, 70, 70}));
    // The top edge alone could move, but a refused left edge undoes both.
    EXPECT_TRUE(node->OffsetHitTest(hzTopLeft, 10, 2));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{55, 50, 70, 70}));
    EXPECT_TRUE(node->OffsetHitTest(hzTopRight, 4, 15));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{55, 50, 74, 70}));
    EXPECT_TRUE(node->OffsetHitTest(hzBottomRight | hzInert, 6, 10));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{55, 50, 80, 80}));
    EXPECT_TRUE(node->OffsetHitTest(hzBody | hzCaption, -5, 5));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{50, 55, 75, 85}));

    // The graph's edge stops a resize from the left without moving the right edge.
    fGraph->GraphConstraints().SetBoundsRect({45, 0, 1000, 1000});
    EXPECT_TRUE(node->OffsetHitTest(hzLeft, -10, 0));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{50, 55, 75, 85}));

    EXPECT_FALSE(node->OffsetHitTest(hzNone, 5, 5));
    node->SetNodeOptions({gnoMovable});
    EXPECT_FALSE(node->OffsetHitTest(hzRight, 5, 0));
    node->SetNodeOptions({gnoResizable});
    EXPECT_FALSE(node->OffsetHitTest(hzBody, 5, 0));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{50, 55, 75, 85}));
}

TEST_F(GraphNodeTest, SnappingPutsTheMovedCornerOnTheGrid)
{
    fGraph->SetGridSize(8);
    TRectangularNode *node = Insert<TRectangularNode>({3, 5, 30, 30});
    int32_t dx = 2;
    int32_t dy = 2;
    node->SnapHitTestOffset(hzBody, dx, dy);
    EXPECT_EQ((3 + dx) % 8, 0);
    EXPECT_EQ((5 + dy) % 8, 0);
    dx = 2;
    dy = 2;
    node->SnapHitTestOffset(hzBottomRight, dx, dy);
    EXPECT_EQ((30 + dx) % 8, 0);
    EXPECT_EQ((30 + dy) % 8, 0);
    dx = 2;
    dy = 2;
    node->SnapHitTestOffset(hzNone, dx, dy);
    EXPECT_EQ(dx, 2);
    EXPECT_FALSE(node->BeginFollowDrag(hzNone));
}

TEST_F(GraphNodeTest, CaptionIsPlacedInsideTheShapeAndShortened)
{
    THexagonalNode *hexagon = Insert<THexagonalNode>({0, 0, 100, 50});
    const TPoints vertices = {{25, 0}, {75, 0}, {100, 25}, {75, 50}, {25, 50}, {0, 25}};
    EXPECT_EQ(hexagon->Vertices(), vertices);
    hexagon->SetText(QStringLiteral("a"));
    hexagon->SetAlignment(taLeftJustify);
    hexagon->SetLayout(tlTop);
    EXPECT_EQ(hexagon->TextRect().TopLeft(), (TPoint{25, 8}));
    hexagon->SetAlignment(taRightJustify);
    hexagon->SetLayout(tlBottom);
    EXPECT_EQ(hexagon->TextRect().BottomRight(), (TPoint{75, 42}));

    TRectangularNode *node = Insert<TRectangularNode>({10, 10, 210, 110});
    node->SetText(QStringLiteral("Hello"));
    TCompatibleCanvas canvas;
    canvas.Font().Assign(node->Font());
    const TSize extent = canvas.TextExtent(QStringLiteral("Hello"));
    const TRect caption = node->TextRect();
    EXPECT_EQ(caption.Width(), extent.cx);
    EXPECT_EQ(caption.Height(), extent.cy);
    EXPECT_EQ(caption.Left, 18 + (184 - extent.cx) / 2);
    EXPECT_EQ(caption.Top, 18 + (84 - extent.cy) / 2);
    EXPECT_EQ(node->TextToShow(), QStringLiteral("Hello"));
    node->SetText(QString());
    EXPECT_EQ(node->TextRect(), TRect());

    node->SetText(QString(40, u'x') + QStringLiteral(" ") + QString(40, u'y'));
    EXPECT_TRUE(node->TextToShow().contains(QStringLiteral("\r\n")));
    EXPECT_LE(node->TextRect().Width(), 184);
    node->SetHeight(20);
    EXPECT_TRUE(node->TextToShow().isEmpty());
}

// Whatever changes a caption went through, looked at in between or not, it is placed exactly as
// on a node that was given the final state at once.
TEST_F(GraphNodeTest, CaptionFollowsEveryChangeAsOnAFreshNode)
{
    TCircularNode *node = Insert<TCircularNode>({10, 10, 50, 50});
    node->SetText(QStringLiteral("#12"));
    const auto expectPlacedAsFresh = [&](const char *step) {
        TCircularNode *fresh = Insert<TCircularNode>(node->GetBoundsRect());
        fresh->SetNodeOptions(node->NodeOptions());
        fresh->Font().Assign(node->Font());
        fresh->Pen().Assign(node->Pen());
        fresh->SetAlignment(node->Alignment());
        fresh->SetMargin(node->Margin());
        fresh->SetText(node->Text());
        EXPECT_EQ(node->TextToShow(), fresh->TextToShow()) << step;
        EXPECT_EQ(node->TextRect(), fresh->TextRect()) << step;
        TGraphObject::Delete(fresh);
    };
    node->SetBounds(0, 0, 80, 80);
    node->MoveBy(7, 3);
    expectPlacedAsFresh("resized, then moved");
    node->MoveBy(-20, 11);
    expectPlacedAsFresh("moved after being placed");
    node->Font().SetHeight(-20);
    node->SetBounds(node->Left(), node->Top(), 30, 30);
    expectPlacedAsFresh("font and size");
    node->BeginUpdate();
    node->SetText(QStringLiteral("#123456789"));
    node->SetBounds(5, 5, 120, 120);
    node->MoveBy(1, 1);
    node->EndUpdate();
    expectPlacedAsFresh("within one update");
    node->Pen().SetWidth(9);
    node->SetMargin(2);
    node->SetAlignment(taRightJustify);
    expectPlacedAsFresh("pen, margin and alignment");
    // The hit test places an unplaced caption first.
    TCircularNode *fresh = Insert<TCircularNode>(node->GetBoundsRect());
    fresh->Pen().Assign(node->Pen());
    fresh->SetMargin(2);
    fresh->SetAlignment(taRightJustify);
    fresh->SetText(QStringLiteral("#7"));
    const TRect caption = fresh->TextRect();
    const TPoint inCaption{(caption.Left + caption.Right) / 2, (caption.Top + caption.Bottom) / 2};
    TGraphObject::Delete(fresh);
    node->SetText(QString());
    expectPlacedAsFresh("no text");
    EXPECT_EQ(node->HitTest(inCaption) & hzCaption, 0u);
    node->Font().SetHeight(-11);
    node->SetText(QStringLiteral("#7"));
    EXPECT_NE(node->HitTest(inCaption) & hzCaption, 0u);
}

// Around the size from which one line of a caption fits, a mark shows exactly what the fitting
// function gives, also where it measures nothing because not even one line fits.
// Whatever moves and resizes a shape went through, looked at in between or not, it covers what
// the shape of a node made at the final bounds covers.
TEST_F(GraphNodeTest, ShapeFollowsEveryMoveAndResizeAsOnAFreshNode)
{
    for (const TGraphNodeClass *kind :
         {&TCircularNode::StaticClass(), &THexagonalNode::StaticClass()}) {
        TGraphNode *node = fGraph->InsertNode({10, 10, 50, 50}, kind);
        // The hit test and the rubber band see the same shape too, to the pixel around its edge.
        const auto expectHitAsFresh = [&](TGraphNode *fresh, const char *step) {
            const TRect box = node->GetBoundsRect();
            for (int64_t y = int64_t{box.Top} - 1; y <= int64_t{box.Bottom} + 1; ++y) {
                for (int64_t x = int64_t{box.Left} - 1; x <= int64_t{box.Right} + 1; ++x) {
                    const TPoint pt{static_cast<int32_t>(x), static_cast<int32_t>(y)};
                    const TRect dot{pt.X, pt.Y, pt.X + 1, pt.Y + 1};
                    ASSERT_EQ(node->HitTest(pt), fresh->HitTest(pt))
                        << step << " " << kind->ClassName() << " " << x << "," << y;
                    ASSERT_EQ(node->ContainsRect(dot), fresh->ContainsRect(dot))
                        << step << " " << kind->ClassName() << " " << x << "," << y;
                    ASSERT_EQ(node->ContainsRect(dot),
                              node->Region().intersects(QRect(pt.X, pt.Y, 1, 1)))
                        << step << " " << kind->ClassName() << " " << x << "," << y;
                }
            }
        };
        const auto expectAsFresh = [&](const char *step) {
            TGraphNode *fresh = fGraph->InsertNode(node->GetBoundsRect(), kind);
            EXPECT_EQ(node->Region(), fresh->Region()) << step << " " << kind->ClassName();
            expectHitAsFresh(fresh, step);
            TGraphObject::Delete(fresh);
        };
        node->SetWidth(60);
        node->SetHeight(30);
        node->SetTop(5);
        node->SetLeft(7);
        expectAsFresh("resized, then moved");
        node->MoveBy(13, -4);
        expectAsFresh("moved after being looked at");
        node->BeginUpdate();
        node->SetBounds(100, 100, 22, 22);
        node->MoveBy(-3, 9);
        node->EndUpdate();
        expectAsFresh("within one update");
        // Shapes are shared by nodes of one size only within a reach of the origin; a node
        // resized across it is made whole at its place.
        for (const int32_t left : {(1 << 28) - 40, (1 << 28) - 10, -(1 << 28) + 5}) {
            node->SetBounds(left, 300, 24, 24);
            expectAsFresh("resized at the reach of shared shapes");
            node->SetBounds(left, 300, 25, 25);
            node->MoveBy(20, 1);
            expectAsFresh("resized and moved across the reach of shared shapes");
        }
        EXPECT_NE(node->HitTest(node->Center()) & hzBody, 0u);
        EXPECT_EQ(fGraph->FindObjectAt(node->Center().X, node->Center().Y), node);
        // Moved to the end of the coordinate range, from where a point at its other end lies
        // further away than a coordinate reaches.
        node->MoveBy(std::numeric_limits<int32_t>::max() - 40 - node->Left(), 0);
        expectAsFresh("at the end of the range");
        const TPoint farAway{std::numeric_limits<int32_t>::min() + 5, node->Center().Y};
        EXPECT_EQ(node->HitTest(farAway) & hzBody, 0u);
        EXPECT_FALSE(node->ContainsRect({farAway.X, farAway.Y, farAway.X + 1, farAway.Y + 1}));
        node->MoveBy(-node->Left(), 0);
        node->MoveBy(std::numeric_limits<int32_t>::min() + 100, 0);
        expectAsFresh("back from the end of the range");
        TGraphObject::Delete(node);
    }
}

TEST_F(GraphNodeTest, CaptionOfMarksAroundTheFittingSizeIsWhatFittingGives)
{
    TCompatibleCanvas canvas;
    for (int32_t fontHeight : {-5, -10}) {
        for (int32_t side = 14; side <= 34; ++side) {
            TCircularNode *mark = Insert<TCircularNode>({0, 0, side, side});
            mark->Font().SetHeight(fontHeight);
            mark->SetText(QStringLiteral("#123"));
            canvas.Font().Assign(mark->Font());
            const TRect room = {8, 8, side - 8, side - 8};
            EXPECT_EQ(mark->TextToShow(), MinimizeText(canvas, mark->Text(), room))
                << side << " " << fontHeight;
            TGraphObject::Delete(mark);
        }
    }
}

TEST_F(GraphNodeTest, DrawingSquaresCircularNodesWhenResizable)
{
    TCircularNode *circle = Insert<TCircularNode>({10, 10, 50, 30});
    EXPECT_EQ(InkBounds(Drawn(*circle)), (TRect{10, 10, 51, 51}));
    EXPECT_EQ(circle->GetBoundsRect(), (TRect{10, 10, 50, 50}));
    TCircularNode *fixed = Insert<TCircularNode>({100, 10, 140, 30});
    fixed->SetNodeOptions({gnoMovable});
    Drawn(*fixed);
    EXPECT_EQ(fixed->GetBoundsRect(), (TRect{100, 10, 140, 30}));

    TCircularMarkNode *mark = Insert<TCircularMarkNode>({10, 100, 51, 130});
    const QImage image = Drawn(*mark);
    EXPECT_EQ(InkBounds(image), (TRect{10, 100, 41, 131}));
    for (int i = 0; i <= 30; ++i) {
        EXPECT_TRUE(Inked(image, 25, 100 + i));
        EXPECT_TRUE(Inked(image, 10 + i, 115));
    }
    EXPECT_EQ(mark->GetBoundsRect(), (TRect{10, 100, 40, 130}));
}

TEST_F(GraphNodeTest, FlagNodeDrawsHalfCircleAndPennant)
{
    TCircularFlagNode *node = Insert<TCircularFlagNode>({100, 100, 140, 140});
    EXPECT_EQ(InkBounds(Drawn(*node)), (TRect{110, 110, 131, 131}));
    node->SetFlag(true);
    const QImage image = Drawn(*node);
    EXPECT_TRUE(Inked(image, 125, 100));
    EXPECT_TRUE(Inked(image, 122, 110));
    EXPECT_TRUE(Inked(image, 132, 105));
    EXPECT_TRUE(Inked(image, 123, 106));
    EXPECT_EQ(InkBounds(image), (TRect{110, 100, 133, 131}));
}

TEST_F(GraphNodeTest, BackgroundIsDrawnInsideMarginsAndClippedToTheShape)
{
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    TRectangularNode *node = Insert<TRectangularNode>({20, 30, 220, 130});
    node->Background().SetImage(red);
    node->SetBackgroundMargins({10, 10, 10, 10});
    EXPECT_EQ(InkBounds(Drawn(*node), qRgb(255, 0, 0)), (TRect{40, 40, 200, 120}));
    node->SetNodeOptions({gnoMovable, gnoResizable});
    EXPECT_TRUE(InkBounds(Drawn(*node), qRgb(255, 0, 0)).IsEmpty());

    TEllipticNode *ellipse = Insert<TEllipticNode>({20, 30, 120, 90});
    ellipse->Background().SetImage(red);
    const QImage image = Drawn(*ellipse);
    EXPECT_FALSE(Inked(image, 21, 31));
    EXPECT_EQ(image.pixel(70, 60), qRgb(255, 0, 0));
    // The outline lies on top of the picture.
    EXPECT_EQ(image.pixel(20, 60), qRgb(0, 0, 0));
}

TEST_F(GraphNodeTest, PropertiesAreStreamedInTableOrderAndReadBack)
{
    TCircularFlagNode *node = Insert<TCircularFlagNode>({10, 20, 50, 60});
    node->SetFlag(true);
    node->SetMargin(3);
    node->SetLayout(tlTop);
    node->SetBackgroundMargins({1, 2, 3, 4});
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    node->Background().SetImage(picture);

    const TPropEntries entries = node->SaveToEntries();
    std::string paths;
    for (const TPropEntry &entry : entries)
        if (entry.Path != "ID")
            paths += entry.Path + " ";
    EXPECT_EQ(paths, "G.Left G.Top G.Width G.Height G.Layout G.Margin G.Background.Data G.Flag "
                     "G.BackgroundMargins ");

    fGraph->Clear();
    auto *read = static_cast<TCircularFlagNode *>(
        TCircularFlagNode::StaticClass().CreateLoaded(&fGraph->Document(), entries));
    EXPECT_TRUE(read->Flag());
    EXPECT_EQ(read->Margin(), 3);
    EXPECT_EQ(read->Layout(), tlTop);
    EXPECT_EQ(read->BackgroundMargins(), (TRect{1, 2, 3, 4}));
    EXPECT_EQ(read->Background().Image().convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(read->GetBoundsRect(), (TRect{10, 20, 50, 60}));

    TGraphNodePicture broken;
    EXPECT_THROW(broken.SetData(QByteArray("\x09TPngImage\x01\x02", 12)), EGraphStreamError);
    EXPECT_THROW(broken.SetData(QByteArray("\x20TPng", 5)), EGraphStreamError);
    EXPECT_TRUE(broken.IsEmpty());
}

TEST_F(GraphNodeTest, AssignCopiesNodePropertiesAndBounds)
{
    TEllipticNode *source = Insert<TEllipticNode>({10, 10, 60, 40});
    source->SetAlignment(taRightJustify);
    source->SetMargin(2);
    source->SetBackgroundMargins({5, 5, 5, 5});
    source->SetTag(77);
    TRectangularNode *target = Insert<TRectangularNode>({100, 100, 120, 120});
    target->Assign(*source);
    EXPECT_EQ(target->Alignment(), taRightJustify);
    EXPECT_EQ(target->Margin(), 2);
    EXPECT_EQ(target->BackgroundMargins(), (TRect{5, 5, 5, 5}));
    EXPECT_EQ(target->GetBoundsRect(), (TRect{10, 10, 60, 40}));
    EXPECT_EQ(target->Vertices().front(), (TPoint{10, 10}));
    EXPECT_EQ(target->Tag(), 0);
}

TEST_F(GraphNodeTest, UnselectedNodeContainsRectsTouchingItsShape)
{
    TEllipticNode *node = Insert<TEllipticNode>({0, 0, 100, 100});
    EXPECT_FALSE(node->ContainsRect({0, 0, 5, 5}));
    EXPECT_TRUE(node->ContainsRect({45, 45, 55, 55}));
    EXPECT_TRUE(node->ContainsRect({95, 45, 200, 55}));
    node->SetVisible(false);
    EXPECT_FALSE(node->ContainsRect({45, 45, 55, 55}));

    TTriangularNode *triangle = Insert<TTriangularNode>({0, 0, 100, 100});
    EXPECT_EQ(triangle->Center(), (TPoint{50, 66}));
    EXPECT_EQ(triangle->RelativeHookAnchor({50, 50}), (TPoint{50, 66}));
    EXPECT_EQ(triangle->RelativeHookAnchor({50, -40}), (TPoint{50, 0}));
}

} // namespace
} // namespace talivo
