#include "graph/control/GraphControl.h"
#include "graph/objects/CircularNode.h"
#include "graph/objects/GraphLink.h"
#include "graph/objects/RectangularNode.h"
#include "graph/stream/GraphStreamFormat.h"
#include "graph/stream/GraphStreamWriter.h"
#include "platform/Platform.h"
#include "tests/common/TestMain.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

namespace talivo {
namespace {

// Two nodes: a circular one with a font, colours, a tag and two node options, and a rectangular
// one with a two-line caption.
QByteArray ExampleFile()
{
    return QByteArray::fromHex("302E4753020000000E00000054436972"
                               "63756C61724E6F646500545046301654"
                               "477261706853747265616D61626C654F"
                               "626A65637400024944020106472E5465"
                               "7874060223310D472E42727573682E43"
                               "6F6C6F720705636C5265640B472E5065"
                               "6E2E436F6C6F720705636C5265640E47"
                               "2E466F6E742E43686172736574070F44"
                               "454641554C545F434841525345540C47"
                               "2E466F6E742E436F6C6F720707636C57"
                               "686974650D472E466F6E742E48656967"
                               "687402F60B472E466F6E742E4E616D65"
                               "06065461686F6D610C472E466F6E742E"
                               "5374796C650B000C472E506172656E74"
                               "466F6E740805472E546167020306472E"
                               "4C656674025A05472E546F7002280747"
                               "2E5769647468021408472E4865696768"
                               "7402140D472E4E6F64654F7074696F6E"
                               "730B0A676E6F4D6F7661626C6511676E"
                               "6F53686F774261636B67726F756E6400"
                               "0000110000005452656374616E67756C"
                               "61724E6F646500545046301654477261"
                               "706853747265616D61626C654F626A65"
                               "637400024944020206472E5465787406"
                               "04330D0A3705472E54616703F4010647"
                               "2E4C656674020005472E546F70020007"
                               "472E5769647468020A08472E48656967"
                               "6874020A0000");
}

// The stream of a graph, as its view or its document holds it.
template <class TGraph> QByteArray Save(TGraph &graph)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    graph.SaveToStream(buffer);
    return bytes;
}

template <class TGraph> void Load(TGraph &graph, const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    graph.LoadFromStream(buffer);
}

void Merge(TGraphControl &graph, const QByteArray &bytes, int32_t dx = 0, int32_t dy = 0)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    graph.MergeFromStream(buffer, dx, dy);
}

QByteArray Written(const std::function<void(TGraphStreamWriter &)> &write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TGraphStreamWriter writer(buffer);
    write(writer);
    return bytes;
}

QByteArray ShortName(const char *name)
{
    return QByteArray(1, static_cast<char>(qstrlen(name))) + name;
}

// A graph stream of one record of the class whose property stream holds properties (each a
// short-name path and its value, already encoded).
QByteArray OneRecord(const QByteArray &className, const QByteArray &properties,
                     const QByteArray &prefix = {}, const char *component = "")
{
    QByteArray bytes("0.GS\x01\x00\x00\x00", 8);
    bytes += char(className.size() + 1) + QByteArray(3, '\0') + className + '\0';
    bytes += "TPF0" + prefix + ShortName("TGraphStreamableObject") + ShortName(component);
    return bytes + properties + QByteArray(2, '\0');
}

QByteArray NodeProperties(int8_t id)
{
    return ShortName("ID") + QByteArray("\x02") + char(id) + ShortName("G.Left") +
           QByteArray::fromHex("0200") + ShortName("G.Top") + QByteArray::fromHex("0200") +
           ShortName("G.Width") + QByteArray::fromHex("0220") + ShortName("G.Height") +
           QByteArray::fromHex("0220");
}

class GraphStreamTest : public ::testing::Test {
protected:
    GraphStreamTest() { Graph.SetMinNodeSize(1); }

    TGraphNode *Insert(const TRect &bounds, const TGraphNodeClass &nodeClass)
    {
        return Graph.InsertNode(bounds, &nodeClass);
    }

    TGraphControl Graph;
};

TEST_F(GraphStreamTest, ExampleGraphIsWrittenByteForByteAndReadBackUnchanged)
{
    TGraphNode *circle = Insert({90, 40, 110, 60}, TCircularNode::StaticClass());
    circle->SetText("#1");
    circle->Brush().SetColor(clRed);
    circle->Pen().SetColor(clRed);
    circle->Font().SetCharset(DEFAULT_CHARSET);
    circle->Font().SetColor(clWhite);
    circle->Font().SetHeight(-10);
    circle->Font().SetName("Tahoma");
    circle->Font().SetStyle({});
    circle->SetParentFont(false);
    circle->SetTag(3);
    circle->SetNodeOptions({gnoMovable, gnoShowBackground});
    TGraphNode *rect = Insert({0, 0, 10, 10}, TRectangularNode::StaticClass());
    rect->SetText("3\r\n7");
    rect->SetTag(500);
    ASSERT_EQ(circle->ID(), 1u);
    ASSERT_EQ(rect->ID(), 2u);

    const QByteArray expected = ExampleFile();
    ASSERT_EQ(expected.size(), 438);
    EXPECT_EQ(Save(Graph).toHex(' '), expected.toHex(' '));

    TGraphControl other;
    other.SetMinNodeSize(1);
    Load(other, expected);
    ASSERT_EQ(other.Objects().Count(), 2);
    EXPECT_EQ(other.Objects()[0]->ClassName(), "TCircularNode");
    EXPECT_EQ(other.Objects()[1]->Text(), "3\r\n7");
    EXPECT_EQ(other.Objects()[1]->BoundsRect(), (TRect{0, 0, 10, 10}));
    EXPECT_FALSE(other.Modified());
    EXPECT_EQ(Save(other).toHex(' '), expected.toHex(' '));
}

TEST_F(GraphStreamTest, EmptyGraphIsEightBytesAndLoadingItEmptiesTheGraph)
{
    EXPECT_EQ(Save(Graph), QByteArray("0.GS\0\0\0\0", 8));
    Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Load(Graph, QByteArray("0.GS\0\0\0\0", 8));
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_FALSE(Graph.Modified());
}

TEST(GraphStreamValueTest, IntegersTakeTheSmallestForm)
{
    const auto integer = [](int64_t value) {
        return Written([value](TGraphStreamWriter &w) { w.WriteInteger(value); }).toHex();
    };
    EXPECT_EQ(integer(0), "0200");
    EXPECT_EQ(integer(127), "027f");
    EXPECT_EQ(integer(-128), "0280");
    EXPECT_EQ(integer(128), "038000");
    EXPECT_EQ(integer(-129), "037fff");
    EXPECT_EQ(integer(-200), "0338ff");
    EXPECT_EQ(integer(500), "03f401");
    EXPECT_EQ(integer(32767), "03ff7f");
    EXPECT_EQ(integer(-32768), "030080");
    EXPECT_EQ(integer(32768), "0400800000");
    EXPECT_EQ(integer(-32769), "04ff7fffff");
    EXPECT_EQ(integer(std::numeric_limits<int32_t>::max()), "04ffffff7f");
    EXPECT_EQ(integer(std::numeric_limits<int32_t>::min()), "0400000080");
    EXPECT_EQ(integer(int64_t{1} << 31), "130000008000000000");
    EXPECT_EQ(integer(-(int64_t{1} << 31) - 1), "13ffffff7fffffffff");
}

TEST(GraphStreamValueTest, StringsTakeTheFormTheirCharactersNeed)
{
    const auto str = [](const QString &value) {
        return Written([&value](TGraphStreamWriter &w) { w.WriteString(value); });
    };
    EXPECT_EQ(str("#1").toHex(), "06022331");
    EXPECT_EQ(str(QString::fromUtf8("Größe")), QByteArray::fromHex("1407000000") +
                                                   "Gr\xC3\xB6\xC3\x9F"
                                                   "e");
    EXPECT_EQ(str(QString::fromUtf8("中文字")).toHex(), "12030000002d4e8765575b");
    EXPECT_EQ(str(QString()).toHex(), "1200000000");
    const QByteArray longForm = str(QString(300, 'a'));
    EXPECT_EQ(longForm.left(5).toHex(), "0c2c010000");
    EXPECT_EQ(longForm.size(), 305);

    // Pure ASCII up to 255 bytes is the short form with its one length byte; from 256 on the
    // long form.
    EXPECT_EQ(str(QString(255, 'a')), "\x06\xFF" + QByteArray(255, 'a'));
    EXPECT_EQ(str(QString(256, 'a')), QByteArray::fromHex("0c00010000") + QByteArray(256, 'a'));
    // UTF-8 at exactly twice the UTF-16 units is stored as UTF-16; one byte less as UTF-8.
    EXPECT_EQ(str(QString::fromUtf8("é")).toHex(), "1201000000e900");
    EXPECT_EQ(str(QString::fromUtf8("aé")).toHex(), "140300000061c3a9");
    EXPECT_EQ(str(QString::fromUtf8("aé") + QString(300, 'a')).left(5).toHex(), "142f010000");
}

TEST(GraphStreamValueTest, ShortNamesHoldUpTo255Bytes)
{
    const auto name = [](const std::string &value) {
        return Written([&value](TGraphStreamWriter &w) { w.WriteShortName(value); });
    };
    EXPECT_EQ(name(std::string(255, 'n')), "\xFF" + QByteArray(255, 'n'));
    EXPECT_EQ(name(""), QByteArray(1, '\0'));
    EXPECT_THROW(name(std::string(256, 'n')), EGraphStreamError);
}

TEST_F(GraphStreamTest, IdentifiersSetsAndBinaryValuesAreWrittenAsNamed)
{
    TGraphNode *node = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    node->Brush().SetColor(0x00123456);
    node->Pen().SetColor(clBtnFace);
    node->Pen().SetStyle(psDash);
    node->Font().SetCharset(0x55);
    node->Font().SetStyle({fsBold, fsStrikeOut});
    node->SetParentFont(false);
    node->SetOptions({goSelectable});
    node->SetVisible(false);
    node->SetAlignment(taLeftJustify);
    node->SetBackgroundMargins({1, 2, 3, 4});
    const QByteArray bytes = Save(Graph);
    EXPECT_TRUE(bytes.contains(ShortName("G.Brush.Color") + QByteArray::fromHex("0456341200")));
    EXPECT_TRUE(bytes.contains(ShortName("G.Pen.Color") + "\x07" + ShortName("clBtnFace")));
    EXPECT_TRUE(bytes.contains(ShortName("G.Pen.Style") + "\x07" + ShortName("psDash")));
    EXPECT_TRUE(bytes.contains(ShortName("G.Font.Charset") + "\x02\x55"));
    EXPECT_TRUE(bytes.contains(ShortName("G.Font.Style") + "\x0B" + ShortName("fsBold") +
                               ShortName("fsStrikeOut") + '\0'));
    EXPECT_TRUE(bytes.contains(ShortName("G.Options") + "\x0B" + ShortName("goSelectable") + '\0'));
    EXPECT_TRUE(bytes.contains(ShortName("G.Visible") + "\x08"));
    EXPECT_TRUE(bytes.contains(ShortName("G.Alignment") + "\x07" + ShortName("taLeftJustify")));
    EXPECT_TRUE(
        bytes.contains(ShortName("G.BackgroundMargins") + QByteArray::fromHex("0201020202030204")));
    EXPECT_FALSE(bytes.contains("G.Font.Size"));
    EXPECT_FALSE(bytes.contains("G.Tag"));
}

TEST_F(GraphStreamTest, CustomDataGoesThroughTheWriteAndReadEvents)
{
    TGraphNode *node = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    node->SetHasCustomData(true);
    Graph.OnObjectWrite = [](TGraphControl *, TGraphObject *, QIODevice &stream) {
        stream.write("abc");
    };
    const QByteArray bytes = Save(Graph);
    EXPECT_TRUE(bytes.contains(ShortName("G.CustomData") + QByteArray::fromHex("0A07000000") +
                               QByteArray::fromHex("03000000") + "abc"));

    TGraphControl other;
    QByteArray received;
    other.OnObjectRead = [&received](TGraphControl *, TGraphObject *, QIODevice &stream) {
        received = stream.readAll();
    };
    Load(other, bytes);
    EXPECT_EQ(received, "abc");
    EXPECT_TRUE(other.Objects()[0]->HasCustomData());
}

TEST_F(GraphStreamTest, EveryRegisteredNodeClassRoundTrips)
{
    for (int32_t i = 0; i < TGraphControl::NodeClassCount(); ++i) {
        TGraphNode *node = Insert({10 * i, 5, 10 * i + 40, 45}, *TGraphControl::NodeClasses(i));
        node->SetText(QString::fromUtf8("Größe %1 中").arg(i));
        node->SetHint(QString(300, 'h'));
        node->Brush().SetStyle(bsCross);
        node->Pen().SetWidth(i + 2);
        node->Font().SetOrientation(-900);
        node->SetParentFont(false);
        node->SetTag(-70000 * i);
        node->SetMargin(3);
        node->SetLayout(tlBottom);
    }
    const QByteArray bytes = Save(Graph);
    TGraphControl other;
    other.SetMinNodeSize(1);
    Load(other, bytes);
    ASSERT_EQ(other.Objects().Count(), TGraphControl::NodeClassCount());
    for (int32_t i = 0; i < other.Objects().Count(); ++i) {
        EXPECT_EQ(other.Objects()[i]->ClassName(), TGraphControl::NodeClasses(i)->ClassName());
        EXPECT_EQ(other.Objects()[i]->SaveToEntries(), Graph.Objects()[i]->SaveToEntries());
    }
    EXPECT_EQ(Save(other), bytes);
}

TEST_F(GraphStreamTest, ReaderAcceptsWhatOtherWritersMayProduce)
{
    // A prefix byte with a child position, a component name, carrier properties, a font size,
    // identifiers in another case and a node option this program does not know.
    QByteArray props = NodeProperties(7) + ShortName("Name") +
                       "\x06\x03"
                       "abc" +
                       ShortName("Tag") + "\x02\x05" + ShortName("G.Font.Size") + "\x02\x0C" +
                       ShortName("G.Brush.Color") + "\x07" + ShortName("CLRED") +
                       ShortName("G.NodeOptions") + "\x0B" + ShortName("gnoMovable") +
                       ShortName("gnoFuture") + '\0';
    const QByteArray bytes =
        OneRecord("TRectangularNode", props, QByteArray::fromHex("F20205"), "xyz");
    Load(Graph, bytes);
    ASSERT_EQ(Graph.Objects().Count(), 1);
    const auto *node = static_cast<TGraphNode *>(Graph.Objects()[0]);
    EXPECT_EQ(node->ID(), 7u);
    EXPECT_EQ(node->Tag(), 0);
    EXPECT_EQ(node->Brush().Color(), clRed);
    EXPECT_EQ(node->NodeOptions(), TGraphNodeOptions{gnoMovable});
    EXPECT_EQ(node->BoundsRect(), (TRect{0, 0, 32, 32}));
}

TEST_F(GraphStreamTest, WrongSignatureChangesNothing)
{
    Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    QByteArray bytes = ExampleFile();
    bytes[0] = '1';
    try {
        Load(Graph, bytes);
        FAIL() << "no error";
    } catch (const EGraphStreamError &e) {
        EXPECT_STREQ(e.what(), "Invalid stream content");
    }
    EXPECT_THROW(Merge(Graph, bytes), EGraphStreamError);
    EXPECT_EQ(Graph.Objects().Count(), 1);
}

TEST_F(GraphStreamTest, DamagedRecordsFailAndKeepTheObjectsReadBefore)
{
    const QByteArray good = ExampleFile();
    const qsizetype second = good.indexOf(QByteArray("\x11\0\0\0TRect", 9));
    const auto loadCount = [this](const QByteArray &bytes) {
        EXPECT_THROW(Load(Graph, bytes), EGraphStreamError);
        EXPECT_FALSE(Graph.IsUpdating());
        return Graph.Objects().Count();
    };
    QByteArray unregistered = good;
    unregistered.replace("TRectangularNode", "TRectangularNodf");
    EXPECT_EQ(loadCount(unregistered), 1);
    QByteArray unknownProperty = good;
    unknownProperty.replace("G.Top", "G.Tip");
    EXPECT_EQ(loadCount(unknownProperty), 0);
    QByteArray wrongTag = good;
    wrongTag[good.indexOf("G.Tag\x03") + 5] = vaString;
    EXPECT_EQ(loadCount(wrongTag), 1);
    QByteArray badIdent = good;
    badIdent.replace("clRed", "clRex");
    EXPECT_EQ(loadCount(badIdent), 0);
    QByteArray longName =
        good.left(second) + QByteArray::fromHex("00010000") + QByteArray(256, 'T');
    EXPECT_EQ(loadCount(longName), 1);
    QByteArray longerName = good.left(second) + QByteArray::fromHex("2c010000") + good.mid(second);
    EXPECT_EQ(loadCount(longerName), 1);
    QByteArray hugeCount = good;
    hugeCount.replace(4, 4, QByteArray::fromHex("ffffff7f"));
    EXPECT_EQ(loadCount(hugeCount), 2);
    EXPECT_LT(Graph.Objects().Capacity(), 100);
    QByteArray hugeString = good;
    hugeString.replace(good.indexOf("G.Text\x06\x02") + 6, 2, QByteArray::fromHex("0cffffff7f"));
    EXPECT_EQ(loadCount(hugeString), 0);
    // Cut anywhere, the data fails cleanly; the first object stays once its record is complete.
    for (qsizetype size = 4; size < good.size(); ++size)
        EXPECT_EQ(loadCount(good.left(size)), size < second ? 0 : 1) << size;
}

TEST_F(GraphStreamTest, ReadObjectsRenumbersTakenAndDuplicateIDs)
{
    Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Merge(Graph, ExampleFile(), 5, 5);
    ASSERT_EQ(Graph.Objects().Count(), 4);
    EXPECT_EQ(Graph.Objects()[2]->ID(), 3u);
    EXPECT_EQ(Graph.Objects()[3]->ID(), 4u);
    EXPECT_EQ(Graph.Objects()[3]->BoundsRect(), (TRect{5, 5, 15, 15}));
    EXPECT_EQ(Graph.SelectedObjectsCount(), 0);

    TGraphControl other;
    QByteArray twice = ExampleFile();
    twice.replace(twice.indexOf("ID\x02\x02") + 3, 1, "\x01");
    Load(other, twice);
    ASSERT_EQ(other.Objects().Count(), 2);
    EXPECT_NE(other.Objects()[0]->ID(), other.Objects()[1]->ID());
}

// A device that counts the pieces it is handed, and refuses them all once told to.
class TCountingDevice : public QIODevice {
public:
    QByteArray Bytes;
    int Pieces = 0;
    bool Refuse = false;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (Refuse)
            return -1;
        ++Pieces;
        Bytes.append(data, size);
        return size;
    }
};

TEST_F(GraphStreamTest, TheWriterHandsEachCallOverInOnePieceAndNothingOfAFailedOne)
{
    TGraphNode *node = Insert({0, 0, 20, 20}, TCircularNode::StaticClass());
    node->SetText("#1");
    TCountingDevice device;
    ASSERT_TRUE(device.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    TGraphStreamWriter writer(device);
    writer.WriteObjectRecord(node->ClassName(), node->GetPropTable(), node->SaveToEntries());
    EXPECT_EQ(device.Pieces, 1);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Graph.Document().WriteGraphObject(buffer, node);
    EXPECT_EQ(device.Bytes, buffer.data());

    // A property the object does not have stops the record before any of it is handed over.
    const QByteArray before = device.Bytes;
    EXPECT_THROW(
        writer.WritePropertyStream(node->GetPropTable(), {{"G.NoSuchProperty", int64_t{1}}}),
        EGraphStreamError);
    EXPECT_EQ(device.Bytes, before);
    writer.WriteInt32(7);
    EXPECT_EQ(device.Bytes, before + QByteArray("\x07\x00\x00\x00", 4)) << "only what came after";

    device.Refuse = true;
    EXPECT_THROW(writer.WriteInt32(8), EGraphStreamError);
}

TEST_F(GraphStreamTest, SavingAFileReplacesItOnlyWhenComplete)
{
    test::TempDir dir;
    const QString name = dir.file("graph.gsd");
    Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Graph.SetModified(true);
    Graph.SaveToFile(name);
    EXPECT_FALSE(Graph.Modified());
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    EXPECT_EQ(saved, Save(Graph));

    Graph.Objects()[0]->SetHasCustomData(true);
    Graph.OnObjectWrite = [](TGraphControl *, TGraphObject *, QIODevice &) {
        throw std::runtime_error("handler failed");
    };
    Graph.SetModified(true);
    EXPECT_THROW(Graph.SaveToFile(name), std::runtime_error);
    EXPECT_TRUE(Graph.Modified());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved);
    file.close();

    TGraphControl other;
    other.LoadFromFile(name);
    EXPECT_EQ(other.Objects().Count(), 1);
    EXPECT_THROW(other.LoadFromFile(dir.file("missing.gsd")), EGraphStreamError);
    EXPECT_EQ(other.Objects().Count(), 1);
}

TEST_F(GraphStreamTest, RestoringABackupPutsTheObjectsBack)
{
    TGraphNode *a = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    a->SetText("before");
    TGraphNode *b = Insert({40, 0, 60, 20}, TCircularNode::StaticClass());
    TGraphObjectList list;
    list.Add(a);
    list.Add(b);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Graph.BackupObjects(buffer, list);
    buffer.close();
    a->SetBounds(30, 30, 50, 50);
    a->SetText("moved");
    TGraphObject::Delete(b);

    buffer.open(QIODevice::ReadOnly);
    Graph.RestoreObjects(buffer);
    EXPECT_EQ(a->BoundsRect(), (TRect{0, 0, 20, 20}));
    EXPECT_EQ(a->Text(), "before");
    EXPECT_TRUE(buffer.atEnd());
    EXPECT_FALSE(Graph.IsUpdating());
}

TEST_F(GraphStreamTest, CopyAndPasteThroughTheNativeClipboardFormat)
{
    TMemoryClipboard memory;
    TScopedClipboard guard(&memory);
    EXPECT_FALSE(Graph.PasteFromClipboard());
    TGraphNode *node = Insert({10, 10, 30, 30}, TRectangularNode::StaticClass());
    Graph.CopyToClipboard(true);
    EXPECT_FALSE(memory.HasFormat(CF_GRAPHOBJECTS));

    node->SetSelected(true);
    Graph.CopyToClipboard(true);
    ASSERT_TRUE(memory.HasFormat(CF_GRAPHOBJECTS));
    EXPECT_EQ(*memory.Data(CF_GRAPHOBJECTS), Save(Graph).mid(4));
    ASSERT_TRUE(Graph.PasteFromClipboard());
    ASSERT_TRUE(Graph.PasteFromClipboard());
    ASSERT_EQ(Graph.Objects().Count(), 3);
    EXPECT_EQ(Graph.Objects()[1]->ID(), 2u);
    EXPECT_EQ(Graph.Objects()[2]->ID(), 3u);
    EXPECT_EQ(Graph.Objects()[2]->BoundsRect(), node->BoundsRect());
    EXPECT_EQ(Graph.SelectedObjectsCount(), 1);
    EXPECT_TRUE(Graph.Objects()[2]->Selected());
}

TEST_F(GraphStreamTest, ValuesAtEachFormBoundaryReadBackAsWritten)
{
    TGraphNode *node = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    node->SetText(QString(255, 'a'));
    node->SetHint(QString(256, 'b'));
    node->ReplaceID(node->ID(), std::numeric_limits<uint32_t>::max());
    for (const int32_t tag :
         {127, 128, -128, -129, 32767, 32768, -32768, -32769, std::numeric_limits<int32_t>::max(),
          std::numeric_limits<int32_t>::min()}) {
        SCOPED_TRACE(tag);
        node->SetTag(tag);
        const QByteArray bytes = Save(Graph);
        // IDs are written as their 32-bit pattern, so the largest one is -1.
        EXPECT_TRUE(bytes.contains(ShortName("ID") + "\x02\xFF"));
        TGraphControl other;
        Load(other, bytes);
        ASSERT_EQ(other.Objects().Count(), 1);
        EXPECT_EQ(other.Objects()[0]->ID(), std::numeric_limits<uint32_t>::max());
        EXPECT_EQ(other.Objects()[0]->Tag(), tag);
        EXPECT_EQ(other.Objects()[0]->Text(), node->Text());
        EXPECT_EQ(other.Objects()[0]->Hint(), node->Hint());
        EXPECT_EQ(Save(other), bytes);
    }
}

// The characters of the bytes 0x80 to 0x9F in the Windows code page, as its chart shows them.
const char16_t kWindows1252High[] = u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ";

TEST_F(GraphStreamTest, EightBitStringsAreReadInTheWindowsCodePage)
{
    const auto textOf = [this](const QByteArray &value) {
        Load(Graph, OneRecord("TRectangularNode", NodeProperties(1) + ShortName("G.Text") + value));
        return Graph.Objects()[0]->Text();
    };
    QByteArray high;
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        SCOPED_TRACE(byte);
        EXPECT_EQ(textOf(QByteArray("\x06\x01") + char(byte)),
                  QString(QChar(kWindows1252High[byte - 0x80])));
        high += char(byte);
    }
    // The long form too, and the other bytes stand for their own code points.
    const QByteArray longForm = high + QByteArray(300, 'x') + "\xA0\xE4\xFF";
    QByteArray size(4, '\0');
    qToLittleEndian<int32_t>(static_cast<int32_t>(longForm.size()), size.data());
    EXPECT_EQ(textOf("\x0C" + size + longForm), QString::fromUtf16(kWindows1252High, 32) +
                                                    QString(300, 'x') +
                                                    QString::fromUtf8("\u00A0äÿ"));

    // Saved again, the text is what it was read as, now in a form without a code page.
    const QString read = textOf("\x06\x18\x80-Z\xE4hlung \x84Kerne\x93 \x96 gro\xDF");
    EXPECT_EQ(read, QString::fromUtf8("€-Zählung „Kerne“ – groß"));
    const QByteArray saved = Save(Graph);
    EXPECT_TRUE(saved.contains(ShortName("G.Text") + "\x14"));
    TGraphControl other;
    Load(other, saved);
    EXPECT_EQ(other.Objects()[0]->Text(), read);
}

TEST_F(GraphStreamTest, LinkIdentifiersKeepTheirExactBytes)
{
    // Identifiers that are no text in any encoding, the longest a name can be.
    const QByteArray style(255, '\xFF');
    const QByteArray props = ShortName("ID") + "\x02\x09" + ShortName("G.BeginStyle") + "\x07" +
                             char(style.size()) + style + ShortName("G.LinkOptions") + "\x0B" +
                             "\x02\xFE\xC3" + ShortName("lo,A") + char(0) + ShortName("G.Source") +
                             "\x02\x01";
    const QByteArray bytes = OneRecord("TGraphLink", props);
    Load(Graph, bytes);
    ASSERT_EQ(Graph.Objects().Count(), 1);
    EXPECT_EQ(Save(Graph), bytes);
}

TEST_F(GraphStreamTest, MergedLinksFollowTheObjectsTheyName)
{
    // Nodes 1 and 2, a link 3 from 1 to 2, and a link 4 from itself to 1.
    const auto link = [](char id, char source, char target) {
        return ShortName("ID") + "\x02" + id + ShortName("G.Source") + "\x02" + source +
               ShortName("G.Target") + "\x02" + target;
    };
    QByteArray bytes("0.GS\x04\x00\x00\x00", 8);
    for (const auto &[className, properties] :
         {std::pair<QByteArray, QByteArray>{"TRectangularNode", NodeProperties(1)},
          {"TRectangularNode", NodeProperties(2)},
          {"TGraphLink", link(3, 1, 2)},
          {"TGraphLink", link(4, 4, 1)}})
        bytes += OneRecord(className, properties).mid(8);
    Load(Graph, bytes);
    Merge(Graph, bytes);
    ASSERT_EQ(Graph.Objects().Count(), 8);
    std::vector<std::tuple<uint32_t, int64_t, int64_t>> links;
    for (int32_t i = 0; i < Graph.Objects().Count(); ++i) {
        if (const auto *l = dynamic_cast<const TGraphLink *>(Graph.Objects()[i]))
            links.emplace_back(l->ID(), l->Source(), l->Target());
    }
    // The copies are renumbered 5 to 8, and their links point at the copies.
    EXPECT_EQ(links, (std::vector<std::tuple<uint32_t, int64_t, int64_t>>{
                         {3, 1, 2}, {4, 4, 1}, {7, 5, 6}, {8, 8, 5}}));
}

// A caption in the owner's font that fits in a small font only, and a node with a font of its
// own whose stream leaves out the parts at their defaults.
QByteArray CaptionedNodes()
{
    TGraphDocument writer;
    writer.SetMinNodeSize(1);
    TGraphNode *owned = writer.InsertNode({0, 0, 60, 30}, &TRectangularNode::StaticClass());
    owned->SetText("12345");
    TGraphNode *own = writer.InsertNode({100, 0, 160, 60}, &TCircularNode::StaticClass());
    own->Font().SetName("DejaVu Sans");
    own->Font().SetHeight(-8);
    own->SetText("#7");
    return Save(writer);
}

// The host's looks that reading applies: a font that the owned caption does not fit in, turned.
void StyleHost(TGraphControl &host)
{
    host.SetMinNodeSize(1);
    host.Font().SetName("DejaVu Serif");
    host.Font().SetHeight(-40);
    host.Font().SetOrientation(900);
}

TEST_F(GraphStreamTest, TakenOverObjectsAreWhatReadingThemHereMakes)
{
    StyleHost(Graph);
    TGraphControl direct;
    StyleHost(direct);
    Load(direct, CaptionedNodes());
    TGraphDocument source;
    Load(source, CaptionedNodes());
    ASSERT_EQ(source.Objects()[0]->TextToShow(), "12345") << "the caption fits the default font";
    int inserted = 0;
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *) { ++inserted; };

    Graph.Document().TakeOverObjects(source);
    EXPECT_EQ(inserted, 2);
    EXPECT_EQ(source.Objects().Count(), 0);
    EXPECT_EQ(source.FindObjectByID(1), nullptr);
    ASSERT_EQ(Graph.Objects().Count(), 2);
    EXPECT_EQ(Save(Graph), Save(direct));
    for (int32_t i = 0; i < 2; ++i) {
        const auto *taken = dynamic_cast<const TGraphNode *>(Graph.Objects()[i]);
        const auto *read = dynamic_cast<const TGraphNode *>(direct.Objects()[i]);
        ASSERT_TRUE(taken && read);
        EXPECT_EQ(taken->Owner(), &Graph.Document());
        EXPECT_TRUE(taken->Font() == read->Font()) << i;
        EXPECT_EQ(taken->ParentFont(), read->ParentFont()) << i;
        EXPECT_EQ(taken->TextToShow(), read->TextToShow()) << i;
        EXPECT_EQ(taken->TextRect(), read->TextRect()) << i;
        EXPECT_EQ(taken->VisualRect(), read->VisualRect()) << i;
        EXPECT_EQ(Graph.FindObjectByID(taken->ID()), taken);
    }
    EXPECT_EQ(Graph.Objects()[1]->Font().Orientation(), 900) << "a default part is the host's";

    // The view finds, selects and deletes them as it does the ones it read.
    EXPECT_EQ(Graph.FindObjectAt(130, 30), Graph.Objects()[1]);
    EXPECT_EQ(Graph.FindObjectAt(10, 10), Graph.Objects()[0]);
    EXPECT_EQ(Graph.FindObjectAt(80, 10), nullptr);
    Graph.Objects()[1]->SetSelected(true);
    ASSERT_EQ(Graph.SelectedObjects().Count(), 1);
    Graph.Objects().Delete(1);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    EXPECT_EQ(Graph.FindObjectAt(130, 30), nullptr);
    EXPECT_EQ(Graph.Objects().Count(), 1);
}

TEST_F(GraphStreamTest, TakenOverObjectsLeaveTheirViewUnselectedAndNamedAnew)
{
    const auto link = [](char id, char source, char target) {
        return ShortName("ID") + "\x02" + id + ShortName("G.Source") + "\x02" + source +
               ShortName("G.Target") + "\x02" + target;
    };
    QByteArray bytes("0.GS\x04\x00\x00\x00", 8);
    for (const auto &[className, properties] :
         {std::pair<QByteArray, QByteArray>{"TRectangularNode", NodeProperties(1)},
          {"TRectangularNode", NodeProperties(2)},
          {"TGraphLink", link(3, 1, 2)},
          {"TGraphLink", link(4, 4, 1)}})
        bytes += OneRecord(className, properties).mid(8);
    Load(Graph, bytes);
    Graph.Objects()[0]->SetSelected(true);
    TGraphControl source;
    source.SetMinNodeSize(1);
    Load(source, bytes);
    source.Objects()[0]->SetSelected(true);
    source.Objects()[1]->SetSelected(true);
    std::vector<TGraphObject *> removed;
    source.OnObjectRemove = [&](TGraphControl *, TGraphObject *obj) { removed.push_back(obj); };
    const TGraphObject *firstNode = source.Objects()[0];

    Graph.Document().TakeOverObjects(source.Document());
    EXPECT_EQ(removed.size(), 4u) << "the source's view lets go of each";
    EXPECT_EQ(source.SelectedObjects().Count(), 0);
    ASSERT_EQ(Graph.Objects().Count(), 8);
    EXPECT_EQ(Graph.Objects()[4], firstNode);
    ASSERT_EQ(Graph.SelectedObjects().Count(), 1) << "only what was selected here stays so";
    EXPECT_EQ(Graph.SelectedObjects()[0], Graph.Objects()[0]);
    for (int32_t i = 4; i < 8; ++i)
        EXPECT_FALSE(Graph.Objects()[i]->Selected()) << i;
    std::vector<std::tuple<uint32_t, int64_t, int64_t>> links;
    for (int32_t i = 0; i < Graph.Objects().Count(); ++i) {
        if (const auto *l = dynamic_cast<const TGraphLink *>(Graph.Objects()[i]))
            links.emplace_back(l->ID(), l->Source(), l->Target());
    }
    EXPECT_EQ(links, (std::vector<std::tuple<uint32_t, int64_t, int64_t>>{
                         {3, 1, 2}, {4, 4, 1}, {7, 5, 6}, {8, 8, 5}}));
    EXPECT_EQ(Graph.FindObjectByID(5), firstNode);
    EXPECT_EQ(Graph.FindObjectByID(1), Graph.Objects()[0]);

    // Selecting all of them and deleting them frees each once, in this document.
    for (int32_t i = 0; i < Graph.Objects().Count(); ++i)
        Graph.Objects()[i]->SetSelected(true);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 8);
    while (Graph.Objects().Count() > 0)
        Graph.Objects().Delete(Graph.Objects().Count() - 1);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    source.Clear();
}

TEST_F(GraphStreamTest, TakenOverObjectsArriveAllWhenAHandlerFails)
{
    TGraphDocument source;
    Load(source, CaptionedNodes());
    TGraphObject *first = source.Objects()[0];
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *obj) {
        if (obj == first)
            throw std::runtime_error("refused");
    };
    EXPECT_THROW(Graph.Document().TakeOverObjects(source), std::runtime_error);
    EXPECT_EQ(source.Objects().Count(), 0);
    ASSERT_EQ(Graph.Objects().Count(), 2) << "no object is lost between the documents";
    EXPECT_EQ(Graph.Objects()[0], first);
    EXPECT_EQ(first->Owner(), &Graph.Document());
}

// Takes the objects at the indices out of the view and puts them back.
std::vector<TPlacedObject> TakeOutAndPutBack(TGraphControl &graph,
                                             const std::vector<int32_t> &indices,
                                             const std::function<void()> &meanwhile = {})
{
    std::vector<TGraphObject *> objects;
    for (const int32_t index : indices)
        objects.push_back(graph.Objects()[index]);
    std::vector<TPlacedObject> taken;
    graph.Document().TakeOutObjects(objects, taken);
    EXPECT_EQ(taken.size(), indices.size());
    for (const TPlacedObject &placed : taken)
        EXPECT_EQ(graph.FindObjectByID(placed.Object->ID()), nullptr) << "out of the view";
    if (meanwhile)
        meanwhile();
    graph.Document().PutBackObjects(taken);
    return taken;
}

TEST_F(GraphStreamTest, ObjectsPutBackStandWhereTheyStoodAsTheyWere)
{
    StyleHost(Graph);
    for (int i = 0; i < 8; ++i) {
        TGraphNode *node =
            Insert({i * 40, 0, i * 40 + 30, 30},
                   i % 2 ? TCircularNode::StaticClass() : TRectangularNode::StaticClass());
        node->SetText(QString("#%1").arg(i));
        node->SetTag(i);
    }
    Graph.Objects()[3]->SetSelected(true);
    const QByteArray before = Save(Graph);
    std::vector<TRect> visuals;
    for (int32_t i = 0; i < Graph.Objects().Count(); ++i)
        visuals.push_back(Graph.Objects()[i]->VisualRect());

    // Given out of order, taken from the front, the middle and the end.
    const std::vector<TPlacedObject> back = TakeOutAndPutBack(Graph, {7, 0, 5, 3, 4});
    EXPECT_EQ(Save(Graph), before);
    ASSERT_EQ(back.size(), 5u);
    const std::vector<int32_t> places = {0, 3, 4, 5, 7};
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].Index, places[i]) << "in list order";
        EXPECT_EQ(Graph.Objects()[places[i]], back[i].Object);
        EXPECT_EQ(Graph.FindObjectByID(back[i].Object->ID()), back[i].Object);
    }
    for (int32_t i = 0; i < Graph.Objects().Count(); ++i) {
        EXPECT_EQ(Graph.Objects()[i]->VisualRect(), visuals[static_cast<size_t>(i)]) << i;
        EXPECT_EQ(Graph.Objects().IndexOf(Graph.Objects()[i]), i);
    }
    EXPECT_EQ(Graph.FindObjectAt(5 * 40 + 15, 15), Graph.Objects()[5]);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0) << "taking out deselects, as a removal does";

    // Objects not in the list, and the same object twice, are taken once or not at all.
    std::vector<TPlacedObject> taken;
    Graph.Document().TakeOutObjects({Graph.Objects()[2], Graph.Objects()[2]}, taken);
    Graph.Document().TakeOutObjects({taken[0].Object}, taken);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(Graph.Objects().Count(), 7);
    TGraphObject::Free(taken[0].Object);
    EXPECT_TRUE(TakeOutAndPutBack(Graph, {}).empty());
    EXPECT_EQ(Graph.Objects().Count(), 7);
}

TEST_F(GraphStreamTest, AnObjectPutBackTakesANewIDWhenItsOwnIsTaken)
{
    for (int i = 0; i < 3; ++i)
        Insert({i * 40, 0, i * 40 + 30, 30}, TRectangularNode::StaticClass());
    const uint32_t id = Graph.Objects()[1]->ID();
    // Another object with that ID arrives meanwhile, as a paste of a copy of it would.
    TGraphDocument elsewhere;
    elsewhere.SetMinNodeSize(1);
    for (uint32_t i = 0; i < id; ++i)
        elsewhere.InsertNode({200, 0, 230, 30}, &TRectangularNode::StaticClass());
    ASSERT_EQ(elsewhere.Objects()[elsewhere.Objects().Count() - 1]->ID(), id);
    TGraphObjectList copied;
    copied.Add(elsewhere.Objects()[elsewhere.Objects().Count() - 1]);
    QByteArray bytes;
    QBuffer writing(&bytes);
    writing.open(QIODevice::WriteOnly);
    elsewhere.WriteObjects(writing, copied);
    TGraphObject *other = nullptr;
    const std::vector<TPlacedObject> back = TakeOutAndPutBack(Graph, {1}, [&] {
        QBuffer reading(&bytes);
        reading.open(QIODevice::ReadOnly);
        Graph.Document().ReadObjects(reading);
        other = Graph.Objects()[Graph.Objects().Count() - 1];
        ASSERT_EQ(other->ID(), id);
    });
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(Graph.Objects()[1], back[0].Object);
    EXPECT_NE(back[0].Object->ID(), id);
    EXPECT_EQ(Graph.FindObjectByID(id), other);
    EXPECT_EQ(Graph.FindObjectByID(back[0].Object->ID()), back[0].Object);
}

} // namespace
} // namespace talivo
