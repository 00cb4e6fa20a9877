#include "platform/Clipboard.h"

#include <gtest/gtest.h>

namespace talivo {
namespace {

const QString GraphFormat = "Graph Object Format";

TEST(ClipboardMimeType, NamesTheFormatOnEachPlatform)
{
    EXPECT_EQ(WindowsClipboardMimeType(GraphFormat),
              "application/x-qt-windows-mime;value=\"Graph Object Format\"");
    EXPECT_EQ(PortableClipboardMimeType(GraphFormat), "application/x-graph-object-format");
    EXPECT_EQ(PortableClipboardMimeType(" Graph  Object/Format! "),
              "application/x-graph-object-format");
    EXPECT_NE(PortableClipboardMimeType("Format 1"), PortableClipboardMimeType("Format 2"));
}

// The same checks run against the real clipboard of the offscreen platform and the double.
void CheckRoundTrip(IClipboard &clipboard)
{
    const QByteArray block("\x02\x00\x00\x00\xff\x00rest", 10);
    clipboard.SetData(GraphFormat, block);
    EXPECT_TRUE(clipboard.HasFormat(GraphFormat));
    EXPECT_EQ(clipboard.Data(GraphFormat), block);
    EXPECT_FALSE(clipboard.HasFormat("Other Format"));
    EXPECT_EQ(clipboard.Data("Other Format"), std::nullopt);

    clipboard.SetText("12\t0\t3");
    EXPECT_EQ(clipboard.Text(), "12\t0\t3");
    EXPECT_FALSE(clipboard.HasFormat(GraphFormat)) << "setting text replaces the block";

    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    clipboard.Put({.Custom = {{GraphFormat, block}}, .Image = image, .Text = "both"});
    EXPECT_EQ(clipboard.Data(GraphFormat), block);
    EXPECT_EQ(clipboard.Text(), "both");

    clipboard.SetText("");
    EXPECT_EQ(clipboard.Text(), "");
}

TEST(Clipboard, SystemClipboardRoundTrip)
{
    TSystemClipboard clipboard;
    CheckRoundTrip(clipboard);
}

TEST(Clipboard, MemoryClipboardRoundTrip)
{
    TMemoryClipboard clipboard;
    CheckRoundTrip(clipboard);
}

} // namespace
} // namespace talivo
