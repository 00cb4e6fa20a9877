#include "graph/canvas/CanvasRecall.h"

#include <gtest/gtest.h>

namespace talivo {
namespace {

// What drawing code typically does to a borrowed canvas.
void Scribble(TCanvas &canvas)
{
    canvas.Font().SetName("DejaVu Sans");
    canvas.Font().SetStyle({fsItalic});
    canvas.Pen().SetMode(pmNot);
    canvas.Pen().SetWidth(4);
    canvas.Brush().SetStyle(bsClear);
    canvas.SetCopyMode(cmSrcInvert);
    canvas.SetTextFlags(ETO_RTLREADING);
}

void ExpectUntouched(const TCanvas &canvas)
{
    const TCanvas fresh;
    EXPECT_TRUE(canvas.Font() == fresh.Font());
    EXPECT_TRUE(canvas.Pen() == fresh.Pen());
    EXPECT_TRUE(canvas.Brush() == fresh.Brush());
    EXPECT_EQ(canvas.CopyMode(), cmSrcCopy);
    EXPECT_EQ(canvas.TextFlags(), 0);
}

TEST(CanvasRecallTest, PutsTheToolsBack)
{
    TCanvas canvas;
    TCanvasRecall recall(&canvas);
    Scribble(canvas);
    recall.Retrieve();
    ExpectUntouched(canvas);

    {
        TCanvasRecall scoped(&canvas);
        Scribble(canvas);
    }
    ExpectUntouched(canvas);

    TCanvas second;
    recall.SetReference(&canvas);
    Scribble(canvas);
    recall.SetReference(&second);
    ExpectUntouched(canvas);
    EXPECT_EQ(recall.Reference(), &second);
    Scribble(second);
    recall.SetReference(nullptr);
    ExpectUntouched(second);
    recall.Store();
    recall.Retrieve();
}

} // namespace
} // namespace talivo
