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

QByteArray Save(TGraphControl &Graph)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Graph.SaveToStream(Buffer);
    return Bytes;
}

void Load(TGraphControl &Graph, const QByteArray &Bytes)
{
    QByteArray Copy = Bytes;
    QBuffer Buffer(&Copy);
    Buffer.open(QIODevice::ReadOnly);
    Graph.LoadFromStream(Buffer);
}

void Merge(TGraphControl &Graph, const QByteArray &Bytes, int32_t dX = 0, int32_t dY = 0)
{
    QByteArray Copy = Bytes;
    QBuffer Buffer(&Copy);
    Buffer.open(QIODevice::ReadOnly);
    Graph.MergeFromStream(Buffer, dX, dY);
}

QByteArray Written(const std::function<void(TGraphStreamWriter &)> &Write)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    TGraphStreamWriter Writer(Buffer);
    Write(Writer);
    return Bytes;
}

QByteArray ShortName(const char *Name)
{
    return QByteArray(1, static_cast<char>(qstrlen(Name))) + Name;
}

// A graph stream of one record of the class whose property stream holds Properties (each a
// short-name path and its value, already encoded).
QByteArray OneRecord(const QByteArray &ClassName, const QByteArray &Properties,
                     const QByteArray &Prefix = {}, const char *Component = "")
{
    QByteArray Bytes("0.GS\x01\x00\x00\x00", 8);
    Bytes += char(ClassName.size() + 1) + QByteArray(3, '\0') + ClassName + '\0';
    Bytes += "TPF0" + Prefix + ShortName("TGraphStreamableObject") + ShortName(Component);
    return Bytes + Properties + QByteArray(2, '\0');
}

QByteArray NodeProperties(int8_t ID)
{
    return ShortName("ID") + QByteArray("\x02") + char(ID) + ShortName("G.Left") +
           QByteArray::fromHex("0200") + ShortName("G.Top") + QByteArray::fromHex("0200") +
           ShortName("G.Width") + QByteArray::fromHex("0220") + ShortName("G.Height") +
           QByteArray::fromHex("0220");
}

class GraphStreamTest : public ::testing::Test {
protected:
    GraphStreamTest() { Graph.SetMinNodeSize(1); }

    TGraphNode *Insert(const TRect &Bounds, const TGraphNodeClass &Class)
    {
        return Graph.InsertNode(Bounds, &Class);
    }

    TGraphControl Graph;
};

TEST_F(GraphStreamTest, ExampleGraphIsWrittenByteForByteAndReadBackUnchanged)
{
    TGraphNode *Circle = Insert({90, 40, 110, 60}, TCircularNode::StaticClass());
    Circle->SetText("#1");
    Circle->Brush().SetColor(clRed);
    Circle->Pen().SetColor(clRed);
    Circle->Font().SetCharset(DEFAULT_CHARSET);
    Circle->Font().SetColor(clWhite);
    Circle->Font().SetHeight(-10);
    Circle->Font().SetName("Tahoma");
    Circle->Font().SetStyle({});
    Circle->SetParentFont(false);
    Circle->SetTag(3);
    Circle->SetNodeOptions({gnoMovable, gnoShowBackground});
    TGraphNode *Rect = Insert({0, 0, 10, 10}, TRectangularNode::StaticClass());
    Rect->SetText("3\r\n7");
    Rect->SetTag(500);
    ASSERT_EQ(Circle->ID(), 1u);
    ASSERT_EQ(Rect->ID(), 2u);

    const QByteArray Expected = ExampleFile();
    ASSERT_EQ(Expected.size(), 438);
    EXPECT_EQ(Save(Graph).toHex(' '), Expected.toHex(' '));

    TGraphControl Other;
    Other.SetMinNodeSize(1);
    Load(Other, Expected);
    ASSERT_EQ(Other.Objects().Count(), 2);
    EXPECT_EQ(Other.Objects()[0]->ClassName(), "TCircularNode");
    EXPECT_EQ(Other.Objects()[1]->Text(), "3\r\n7");
    EXPECT_EQ(Other.Objects()[1]->BoundsRect(), (TRect{0, 0, 10, 10}));
    EXPECT_FALSE(Other.Modified());
    EXPECT_EQ(Save(Other).toHex(' '), Expected.toHex(' '));
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
    const auto Int = [](int64_t Value) {
        return Written([Value](TGraphStreamWriter &W) { W.WriteInteger(Value); }).toHex();
    };
    EXPECT_EQ(Int(0), "0200");
    EXPECT_EQ(Int(127), "027f");
    EXPECT_EQ(Int(-128), "0280");
    EXPECT_EQ(Int(128), "038000");
    EXPECT_EQ(Int(-129), "037fff");
    EXPECT_EQ(Int(-200), "0338ff");
    EXPECT_EQ(Int(500), "03f401");
    EXPECT_EQ(Int(32767), "03ff7f");
    EXPECT_EQ(Int(-32768), "030080");
    EXPECT_EQ(Int(32768), "0400800000");
    EXPECT_EQ(Int(-32769), "04ff7fffff");
    EXPECT_EQ(Int(std::numeric_limits<int32_t>::max()), "04ffffff7f");
    EXPECT_EQ(Int(std::numeric_limits<int32_t>::min()), "0400000080");
    EXPECT_EQ(Int(int64_t{1} << 31), "130000008000000000");
    EXPECT_EQ(Int(-(int64_t{1} << 31) - 1), "13ffffff7fffffffff");
}

TEST(GraphStreamValueTest, StringsTakeTheFormTheirCharactersNeed)
{
    const auto Str = [](const QString &Value) {
        return Written([&Value](TGraphStreamWriter &W) { W.WriteString(Value); });
    };
    EXPECT_EQ(Str("#1").toHex(), "06022331");
    EXPECT_EQ(Str(QString::fromUtf8("Größe")), QByteArray::fromHex("1407000000") +
                                                   "Gr\xC3\xB6\xC3\x9F"
                                                   "e");
    EXPECT_EQ(Str(QString::fromUtf8("中文字")).toHex(), "12030000002d4e8765575b");
    EXPECT_EQ(Str(QString()).toHex(), "1200000000");
    const QByteArray Long = Str(QString(300, 'a'));
    EXPECT_EQ(Long.left(5).toHex(), "0c2c010000");
    EXPECT_EQ(Long.size(), 305);

    // Pure ASCII up to 255 bytes is the short form with its one length byte; from 256 on the
    // long form.
    EXPECT_EQ(Str(QString(255, 'a')), "\x06\xFF" + QByteArray(255, 'a'));
    EXPECT_EQ(Str(QString(256, 'a')), QByteArray::fromHex("0c00010000") + QByteArray(256, 'a'));
    // UTF-8 at exactly twice the UTF-16 units is stored as UTF-16; one byte less as UTF-8.
    EXPECT_EQ(Str(QString::fromUtf8("é")).toHex(), "1201000000e900");
    EXPECT_EQ(Str(QString::fromUtf8("aé")).toHex(), "140300000061c3a9");
    EXPECT_EQ(Str(QString::fromUtf8("aé") + QString(300, 'a')).left(5).toHex(), "142f010000");
}

TEST(GraphStreamValueTest, ShortNamesHoldUpTo255Bytes)
{
    const auto Name = [](const std::string &Value) {
        return Written([&Value](TGraphStreamWriter &W) { W.WriteShortName(Value); });
    };
    EXPECT_EQ(Name(std::string(255, 'n')), "\xFF" + QByteArray(255, 'n'));
    EXPECT_EQ(Name(""), QByteArray(1, '\0'));
    EXPECT_THROW(Name(std::string(256, 'n')), EGraphStreamError);
}

TEST_F(GraphStreamTest, IdentifiersSetsAndBinaryValuesAreWrittenAsNamed)
{
    TGraphNode *Node = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Node->Brush().SetColor(0x00123456);
    Node->Pen().SetColor(clBtnFace);
    Node->Pen().SetStyle(psDash);
    Node->Font().SetCharset(0x55);
    Node->Font().SetStyle({fsBold, fsStrikeOut});
    Node->SetParentFont(false);
    Node->SetOptions({goSelectable});
    Node->SetVisible(false);
    Node->SetAlignment(taLeftJustify);
    Node->SetBackgroundMargins({1, 2, 3, 4});
    const QByteArray Bytes = Save(Graph);
    EXPECT_TRUE(Bytes.contains(ShortName("G.Brush.Color") + QByteArray::fromHex("0456341200")));
    EXPECT_TRUE(Bytes.contains(ShortName("G.Pen.Color") + "\x07" + ShortName("clBtnFace")));
    EXPECT_TRUE(Bytes.contains(ShortName("G.Pen.Style") + "\x07" + ShortName("psDash")));
    EXPECT_TRUE(Bytes.contains(ShortName("G.Font.Charset") + "\x02\x55"));
    EXPECT_TRUE(Bytes.contains(ShortName("G.Font.Style") + "\x0B" + ShortName("fsBold") +
                               ShortName("fsStrikeOut") + '\0'));
    EXPECT_TRUE(Bytes.contains(ShortName("G.Options") + "\x0B" + ShortName("goSelectable") + '\0'));
    EXPECT_TRUE(Bytes.contains(ShortName("G.Visible") + "\x08"));
    EXPECT_TRUE(Bytes.contains(ShortName("G.Alignment") + "\x07" + ShortName("taLeftJustify")));
    EXPECT_TRUE(
        Bytes.contains(ShortName("G.BackgroundMargins") + QByteArray::fromHex("0201020202030204")));
    EXPECT_FALSE(Bytes.contains("G.Font.Size"));
    EXPECT_FALSE(Bytes.contains("G.Tag"));
}

TEST_F(GraphStreamTest, CustomDataGoesThroughTheWriteAndReadEvents)
{
    TGraphNode *Node = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Node->SetHasCustomData(true);
    Graph.OnObjectWrite = [](TGraphControl *, TGraphObject *, QIODevice &Stream) {
        Stream.write("abc");
    };
    const QByteArray Bytes = Save(Graph);
    EXPECT_TRUE(Bytes.contains(ShortName("G.CustomData") + QByteArray::fromHex("0A07000000") +
                               QByteArray::fromHex("03000000") + "abc"));

    TGraphControl Other;
    QByteArray Received;
    Other.OnObjectRead = [&Received](TGraphControl *, TGraphObject *, QIODevice &Stream) {
        Received = Stream.readAll();
    };
    Load(Other, Bytes);
    EXPECT_EQ(Received, "abc");
    EXPECT_TRUE(Other.Objects()[0]->HasCustomData());
}

TEST_F(GraphStreamTest, EveryRegisteredNodeClassRoundTrips)
{
    for (int32_t I = 0; I < TGraphControl::NodeClassCount(); ++I) {
        TGraphNode *Node = Insert({10 * I, 5, 10 * I + 40, 45}, *TGraphControl::NodeClasses(I));
        Node->SetText(QString::fromUtf8("Größe %1 中").arg(I));
        Node->SetHint(QString(300, 'h'));
        Node->Brush().SetStyle(bsCross);
        Node->Pen().SetWidth(I + 2);
        Node->Font().SetOrientation(-900);
        Node->SetParentFont(false);
        Node->SetTag(-70000 * I);
        Node->SetMargin(3);
        Node->SetLayout(tlBottom);
    }
    const QByteArray Bytes = Save(Graph);
    TGraphControl Other;
    Other.SetMinNodeSize(1);
    Load(Other, Bytes);
    ASSERT_EQ(Other.Objects().Count(), TGraphControl::NodeClassCount());
    for (int32_t I = 0; I < Other.Objects().Count(); ++I) {
        EXPECT_EQ(Other.Objects()[I]->ClassName(), TGraphControl::NodeClasses(I)->ClassName());
        EXPECT_EQ(Other.Objects()[I]->SaveToEntries(), Graph.Objects()[I]->SaveToEntries());
    }
    EXPECT_EQ(Save(Other), Bytes);
}

TEST_F(GraphStreamTest, ReaderAcceptsWhatOtherWritersMayProduce)
{
    // A prefix byte with a child position, a component name, carrier properties, a font size,
    // identifiers in another case and a node option this program does not know.
    QByteArray Props = NodeProperties(7) + ShortName("Name") +
                       "\x06\x03"
                       "abc" +
                       ShortName("Tag") + "\x02\x05" + ShortName("G.Font.Size") + "\x02\x0C" +
                       ShortName("G.Brush.Color") + "\x07" + ShortName("CLRED") +
                       ShortName("G.NodeOptions") + "\x0B" + ShortName("gnoMovable") +
                       ShortName("gnoFuture") + '\0';
    const QByteArray Bytes =
        OneRecord("TRectangularNode", Props, QByteArray::fromHex("F20205"), "xyz");
    Load(Graph, Bytes);
    ASSERT_EQ(Graph.Objects().Count(), 1);
    const auto *Node = static_cast<TGraphNode *>(Graph.Objects()[0]);
    EXPECT_EQ(Node->ID(), 7u);
    EXPECT_EQ(Node->Tag(), 0);
    EXPECT_EQ(Node->Brush().Color(), clRed);
    EXPECT_EQ(Node->NodeOptions(), TGraphNodeOptions{gnoMovable});
    EXPECT_EQ(Node->BoundsRect(), (TRect{0, 0, 32, 32}));
}

TEST_F(GraphStreamTest, WrongSignatureChangesNothing)
{
    Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    QByteArray Bytes = ExampleFile();
    Bytes[0] = '1';
    try {
        Load(Graph, Bytes);
        FAIL() << "no error";
    } catch (const EGraphStreamError &E) {
        EXPECT_STREQ(E.what(), "Invalid stream content");
    }
    EXPECT_THROW(Merge(Graph, Bytes), EGraphStreamError);
    EXPECT_EQ(Graph.Objects().Count(), 1);
}

TEST_F(GraphStreamTest, DamagedRecordsFailAndKeepTheObjectsReadBefore)
{
    const QByteArray Good = ExampleFile();
    const qsizetype Second = Good.indexOf(QByteArray("\x11\0\0\0TRect", 9));
    const auto LoadCount = [this](const QByteArray &Bytes) {
        EXPECT_THROW(Load(Graph, Bytes), EGraphStreamError);
        EXPECT_FALSE(Graph.IsUpdating());
        return Graph.Objects().Count();
    };
    QByteArray Unregistered = Good;
    Unregistered.replace("TRectangularNode", "TRectangularNodf");
    EXPECT_EQ(LoadCount(Unregistered), 1);
    QByteArray UnknownProperty = Good;
    UnknownProperty.replace("G.Top", "G.Tip");
    EXPECT_EQ(LoadCount(UnknownProperty), 0);
    QByteArray WrongTag = Good;
    WrongTag[Good.indexOf("G.Tag\x03") + 5] = vaString;
    EXPECT_EQ(LoadCount(WrongTag), 1);
    QByteArray BadIdent = Good;
    BadIdent.replace("clRed", "clRex");
    EXPECT_EQ(LoadCount(BadIdent), 0);
    QByteArray LongName =
        Good.left(Second) + QByteArray::fromHex("00010000") + QByteArray(256, 'T');
    EXPECT_EQ(LoadCount(LongName), 1);
    QByteArray LongerName = Good.left(Second) + QByteArray::fromHex("2c010000") + Good.mid(Second);
    EXPECT_EQ(LoadCount(LongerName), 1);
    QByteArray HugeCount = Good;
    HugeCount.replace(4, 4, QByteArray::fromHex("ffffff7f"));
    EXPECT_EQ(LoadCount(HugeCount), 2);
    EXPECT_LT(Graph.Objects().Capacity(), 100);
    QByteArray HugeString = Good;
    HugeString.replace(Good.indexOf("G.Text\x06\x02") + 6, 2, QByteArray::fromHex("0cffffff7f"));
    EXPECT_EQ(LoadCount(HugeString), 0);
    // Cut anywhere, the data fails cleanly; the first object stays once its record is complete.
    for (qsizetype Size = 4; Size < Good.size(); ++Size) {
        EXPECT_EQ(LoadCount(Good.left(Size)), Size < Second ? 0 : 1) << Size;
    }
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

    TGraphControl Other;
    QByteArray Twice = ExampleFile();
    Twice.replace(Twice.indexOf("ID\x02\x02") + 3, 1, "\x01");
    Load(Other, Twice);
    ASSERT_EQ(Other.Objects().Count(), 2);
    EXPECT_NE(Other.Objects()[0]->ID(), Other.Objects()[1]->ID());
}

TEST_F(GraphStreamTest, SavingAFileReplacesItOnlyWhenComplete)
{
    test::TempDir Dir;
    const QString Name = Dir.file("graph.gsd");
    Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Graph.SetModified(true);
    Graph.SaveToFile(Name);
    EXPECT_FALSE(Graph.Modified());
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QByteArray Saved = File.readAll();
    File.close();
    EXPECT_EQ(Saved, Save(Graph));

    Graph.Objects()[0]->SetHasCustomData(true);
    Graph.OnObjectWrite = [](TGraphControl *, TGraphObject *, QIODevice &) {
        throw std::runtime_error("handler failed");
    };
    Graph.SetModified(true);
    EXPECT_THROW(Graph.SaveToFile(Name), std::runtime_error);
    EXPECT_TRUE(Graph.Modified());
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    EXPECT_EQ(File.readAll(), Saved);
    File.close();

    TGraphControl Other;
    Other.LoadFromFile(Name);
    EXPECT_EQ(Other.Objects().Count(), 1);
    EXPECT_THROW(Other.LoadFromFile(Dir.file("missing.gsd")), EGraphStreamError);
    EXPECT_EQ(Other.Objects().Count(), 1);
}

TEST_F(GraphStreamTest, RestoringABackupPutsTheObjectsBack)
{
    TGraphNode *A = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    A->SetText("before");
    TGraphNode *B = Insert({40, 0, 60, 20}, TCircularNode::StaticClass());
    TGraphObjectList List;
    List.Add(A);
    List.Add(B);
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Graph.BackupObjects(Buffer, List);
    Buffer.close();
    A->SetBounds(30, 30, 50, 50);
    A->SetText("moved");
    TGraphObject::Delete(B);

    Buffer.open(QIODevice::ReadOnly);
    Graph.RestoreObjects(Buffer);
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 20, 20}));
    EXPECT_EQ(A->Text(), "before");
    EXPECT_TRUE(Buffer.atEnd());
    EXPECT_FALSE(Graph.IsUpdating());
}

TEST_F(GraphStreamTest, CopyAndPasteThroughTheNativeClipboardFormat)
{
    TMemoryClipboard Memory;
    TScopedClipboard Guard(&Memory);
    EXPECT_FALSE(Graph.PasteFromClipboard());
    TGraphNode *Node = Insert({10, 10, 30, 30}, TRectangularNode::StaticClass());
    Graph.CopyToClipboard(true);
    EXPECT_FALSE(Memory.HasFormat(CF_GRAPHOBJECTS));

    Node->SetSelected(true);
    Graph.CopyToClipboard(true);
    ASSERT_TRUE(Memory.HasFormat(CF_GRAPHOBJECTS));
    EXPECT_EQ(*Memory.Data(CF_GRAPHOBJECTS), Save(Graph).mid(4));
    ASSERT_TRUE(Graph.PasteFromClipboard());
    ASSERT_TRUE(Graph.PasteFromClipboard());
    ASSERT_EQ(Graph.Objects().Count(), 3);
    EXPECT_EQ(Graph.Objects()[1]->ID(), 2u);
    EXPECT_EQ(Graph.Objects()[2]->ID(), 3u);
    EXPECT_EQ(Graph.Objects()[2]->BoundsRect(), Node->BoundsRect());
    EXPECT_EQ(Graph.SelectedObjectsCount(), 1);
    EXPECT_TRUE(Graph.Objects()[2]->Selected());
}

TEST_F(GraphStreamTest, ValuesAtEachFormBoundaryReadBackAsWritten)
{
    TGraphNode *Node = Insert({0, 0, 20, 20}, TRectangularNode::StaticClass());
    Node->SetText(QString(255, 'a'));
    Node->SetHint(QString(256, 'b'));
    Node->ReplaceID(Node->ID(), std::numeric_limits<uint32_t>::max());
    for (const int32_t Tag :
         {127, 128, -128, -129, 32767, 32768, -32768, -32769, std::numeric_limits<int32_t>::max(),
          std::numeric_limits<int32_t>::min()}) {
        SCOPED_TRACE(Tag);
        Node->SetTag(Tag);
        const QByteArray Bytes = Save(Graph);
        // IDs are written as their 32-bit pattern, so the largest one is -1.
        EXPECT_TRUE(Bytes.contains(ShortName("ID") + "\x02\xFF"));
        TGraphControl Other;
        Load(Other, Bytes);
        ASSERT_EQ(Other.Objects().Count(), 1);
        EXPECT_EQ(Other.Objects()[0]->ID(), std::numeric_limits<uint32_t>::max());
        EXPECT_EQ(Other.Objects()[0]->Tag(), Tag);
        EXPECT_EQ(Other.Objects()[0]->Text(), Node->Text());
        EXPECT_EQ(Other.Objects()[0]->Hint(), Node->Hint());
        EXPECT_EQ(Save(Other), Bytes);
    }
}

// The characters of the bytes 0x80 to 0x9F in the Windows code page, as its chart shows them.
const char16_t kWindows1252High[] = u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ";

TEST_F(GraphStreamTest, EightBitStringsAreReadInTheWindowsCodePage)
{
    const auto TextOf = [this](const QByteArray &Value) {
        Load(Graph, OneRecord("TRectangularNode", NodeProperties(1) + ShortName("G.Text") + Value));
        return Graph.Objects()[0]->Text();
    };
    QByteArray High;
    for (int Byte = 0x80; Byte <= 0x9F; ++Byte) {
        SCOPED_TRACE(Byte);
        EXPECT_EQ(TextOf(QByteArray("\x06\x01") + char(Byte)),
                  QString(QChar(kWindows1252High[Byte - 0x80])));
        High += char(Byte);
    }
    // The long form too, and the other bytes stand for their own code points.
    const QByteArray Long = High + QByteArray(300, 'x') + "\xA0\xE4\xFF";
    QByteArray Size(4, '\0');
    qToLittleEndian<int32_t>(static_cast<int32_t>(Long.size()), Size.data());
    EXPECT_EQ(TextOf("\x0C" + Size + Long), QString::fromUtf16(kWindows1252High, 32) +
                                                QString(300, 'x') + QString::fromUtf8("\u00A0äÿ"));

    // Saved again, the text is what it was read as, now in a form without a code page.
    const QString Read = TextOf("\x06\x18\x80-Z\xE4hlung \x84Kerne\x93 \x96 gro\xDF");
    EXPECT_EQ(Read, QString::fromUtf8("€-Zählung „Kerne“ – groß"));
    const QByteArray Saved = Save(Graph);
    EXPECT_TRUE(Saved.contains(ShortName("G.Text") + "\x14"));
    TGraphControl Other;
    Load(Other, Saved);
    EXPECT_EQ(Other.Objects()[0]->Text(), Read);
}

TEST_F(GraphStreamTest, LinkIdentifiersKeepTheirExactBytes)
{
    // Identifiers that are no text in any encoding, the longest a name can be.
    const QByteArray Style(255, '\xFF');
    const QByteArray Props = ShortName("ID") + "\x02\x09" + ShortName("G.BeginStyle") + "\x07" +
                             char(Style.size()) + Style + ShortName("G.LinkOptions") + "\x0B" +
                             "\x02\xFE\xC3" + ShortName("lo,A") + char(0) + ShortName("G.Source") +
                             "\x02\x01";
    const QByteArray Bytes = OneRecord("TGraphLink", Props);
    Load(Graph, Bytes);
    ASSERT_EQ(Graph.Objects().Count(), 1);
    EXPECT_EQ(Save(Graph), Bytes);
}

TEST_F(GraphStreamTest, MergedLinksFollowTheObjectsTheyName)
{
    // Nodes 1 and 2, a link 3 from 1 to 2, and a link 4 from itself to 1.
    const auto Link = [](char ID, char Source, char Target) {
        return ShortName("ID") + "\x02" + ID + ShortName("G.Source") + "\x02" + Source +
               ShortName("G.Target") + "\x02" + Target;
    };
    QByteArray Bytes("0.GS\x04\x00\x00\x00", 8);
    for (const auto &[Class, Props] :
         {std::pair<QByteArray, QByteArray>{"TRectangularNode", NodeProperties(1)},
          {"TRectangularNode", NodeProperties(2)},
          {"TGraphLink", Link(3, 1, 2)},
          {"TGraphLink", Link(4, 4, 1)}}) {
        Bytes += OneRecord(Class, Props).mid(8);
    }
    Load(Graph, Bytes);
    Merge(Graph, Bytes);
    ASSERT_EQ(Graph.Objects().Count(), 8);
    std::vector<std::tuple<uint32_t, int64_t, int64_t>> Links;
    for (int32_t I = 0; I < Graph.Objects().Count(); ++I) {
        if (const auto *L = dynamic_cast<const TGraphLink *>(Graph.Objects()[I])) {
            Links.emplace_back(L->ID(), L->Source(), L->Target());
        }
    }
    // The copies are renumbered 5 to 8, and their links point at the copies.
    EXPECT_EQ(Links, (std::vector<std::tuple<uint32_t, int64_t, int64_t>>{
                         {3, 1, 2}, {4, 4, 1}, {7, 5, 6}, {8, 8, 5}}));
}

// The stream of a graph as a document without a view holds it.
QByteArray SaveDocument(TGraphDocument &Document)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Document.SaveToStream(Buffer);
    return Bytes;
}

void LoadDocument(TGraphDocument &Document, const QByteArray &Bytes)
{
    QByteArray Copy = Bytes;
    QBuffer Buffer(&Copy);
    Buffer.open(QIODevice::ReadOnly);
    Document.LoadFromStream(Buffer);
}

// A caption in the owner's font that fits in a small font only, and a node with a font of its
// own whose stream leaves out the parts at their defaults.
QByteArray CaptionedNodes()
{
    TGraphDocument Writer;
    Writer.SetMinNodeSize(1);
    TGraphNode *Owned = Writer.InsertNode({0, 0, 60, 30}, &TRectangularNode::StaticClass());
    Owned->SetText("12345");
    TGraphNode *Own = Writer.InsertNode({100, 0, 160, 60}, &TCircularNode::StaticClass());
    Own->Font().SetName("DejaVu Sans");
    Own->Font().SetHeight(-8);
    Own->SetText("#7");
    return SaveDocument(Writer);
}

// The host's looks that reading applies: a font that the owned caption does not fit in, turned.
void StyleHost(TGraphControl &Host)
{
    Host.SetMinNodeSize(1);
    Host.Font().SetName("DejaVu Serif");
    Host.Font().SetHeight(-40);
    Host.Font().SetOrientation(900);
}

TEST_F(GraphStreamTest, TakenOverObjectsAreWhatReadingThemHereMakes)
{
    StyleHost(Graph);
    TGraphControl Direct;
    StyleHost(Direct);
    Load(Direct, CaptionedNodes());
    TGraphDocument Source;
    LoadDocument(Source, CaptionedNodes());
    ASSERT_EQ(Source.Objects()[0]->TextToShow(), "12345") << "the caption fits the default font";
    int Inserted = 0;
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *) { ++Inserted; };

    Graph.Document().TakeOverObjects(Source);
    EXPECT_EQ(Inserted, 2);
    EXPECT_EQ(Source.Objects().Count(), 0);
    EXPECT_EQ(Source.FindObjectByID(1), nullptr);
    ASSERT_EQ(Graph.Objects().Count(), 2);
    EXPECT_EQ(Save(Graph), Save(Direct));
    for (int32_t I = 0; I < 2; ++I) {
        const auto *Taken = dynamic_cast<const TGraphNode *>(Graph.Objects()[I]);
        const auto *Read = dynamic_cast<const TGraphNode *>(Direct.Objects()[I]);
        ASSERT_TRUE(Taken && Read);
        EXPECT_EQ(Taken->Owner(), &Graph.Document());
        EXPECT_TRUE(Taken->Font() == Read->Font()) << I;
        EXPECT_EQ(Taken->ParentFont(), Read->ParentFont()) << I;
        EXPECT_EQ(Taken->TextToShow(), Read->TextToShow()) << I;
        EXPECT_EQ(Taken->TextRect(), Read->TextRect()) << I;
        EXPECT_EQ(Taken->VisualRect(), Read->VisualRect()) << I;
        EXPECT_EQ(Graph.FindObjectByID(Taken->ID()), Taken);
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
    const auto Link = [](char ID, char Source, char Target) {
        return ShortName("ID") + "\x02" + ID + ShortName("G.Source") + "\x02" + Source +
               ShortName("G.Target") + "\x02" + Target;
    };
    QByteArray Bytes("0.GS\x04\x00\x00\x00", 8);
    for (const auto &[Class, Props] :
         {std::pair<QByteArray, QByteArray>{"TRectangularNode", NodeProperties(1)},
          {"TRectangularNode", NodeProperties(2)},
          {"TGraphLink", Link(3, 1, 2)},
          {"TGraphLink", Link(4, 4, 1)}}) {
        Bytes += OneRecord(Class, Props).mid(8);
    }
    Load(Graph, Bytes);
    Graph.Objects()[0]->SetSelected(true);
    TGraphControl Source;
    Source.SetMinNodeSize(1);
    Load(Source, Bytes);
    Source.Objects()[0]->SetSelected(true);
    Source.Objects()[1]->SetSelected(true);
    std::vector<TGraphObject *> Removed;
    Source.OnObjectRemove = [&](TGraphControl *, TGraphObject *Obj) { Removed.push_back(Obj); };
    const TGraphObject *FirstNode = Source.Objects()[0];

    Graph.Document().TakeOverObjects(Source.Document());
    EXPECT_EQ(Removed.size(), 4u) << "the source's view lets go of each";
    EXPECT_EQ(Source.SelectedObjects().Count(), 0);
    ASSERT_EQ(Graph.Objects().Count(), 8);
    EXPECT_EQ(Graph.Objects()[4], FirstNode);
    ASSERT_EQ(Graph.SelectedObjects().Count(), 1) << "only what was selected here stays so";
    EXPECT_EQ(Graph.SelectedObjects()[0], Graph.Objects()[0]);
    for (int32_t I = 4; I < 8; ++I)
        EXPECT_FALSE(Graph.Objects()[I]->Selected()) << I;
    std::vector<std::tuple<uint32_t, int64_t, int64_t>> Links;
    for (int32_t I = 0; I < Graph.Objects().Count(); ++I) {
        if (const auto *L = dynamic_cast<const TGraphLink *>(Graph.Objects()[I])) {
            Links.emplace_back(L->ID(), L->Source(), L->Target());
        }
    }
    EXPECT_EQ(Links, (std::vector<std::tuple<uint32_t, int64_t, int64_t>>{
                         {3, 1, 2}, {4, 4, 1}, {7, 5, 6}, {8, 8, 5}}));
    EXPECT_EQ(Graph.FindObjectByID(5), FirstNode);
    EXPECT_EQ(Graph.FindObjectByID(1), Graph.Objects()[0]);

    // Selecting all of them and deleting them frees each once, in this document.
    for (int32_t I = 0; I < Graph.Objects().Count(); ++I)
        Graph.Objects()[I]->SetSelected(true);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 8);
    while (Graph.Objects().Count() > 0)
        Graph.Objects().Delete(Graph.Objects().Count() - 1);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    Source.Clear();
}

TEST_F(GraphStreamTest, TakenOverObjectsArriveAllWhenAHandlerFails)
{
    TGraphDocument Source;
    LoadDocument(Source, CaptionedNodes());
    TGraphObject *First = Source.Objects()[0];
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *Obj) {
        if (Obj == First)
            throw std::runtime_error("refused");
    };
    EXPECT_THROW(Graph.Document().TakeOverObjects(Source), std::runtime_error);
    EXPECT_EQ(Source.Objects().Count(), 0);
    ASSERT_EQ(Graph.Objects().Count(), 2) << "no object is lost between the documents";
    EXPECT_EQ(Graph.Objects()[0], First);
    EXPECT_EQ(First->Owner(), &Graph.Document());
}

} // namespace
} // namespace talivo
