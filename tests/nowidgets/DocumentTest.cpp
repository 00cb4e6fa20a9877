#include "app/MarkedImage.h"
#include "app/Measurement.h"
#include "app/ProposedMarks.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphNode.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace talivo {
namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

class DocumentWithoutWidgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fDir.isValid());
        PrepareDocument(fDocument);
    }

    void Mark(TPoint centre, int groupId, TColor color, int number)
    {
        InsertMark(fDocument, centre, 10, groupId, color, MarkText(number), 10);
    }

    QString File(const QString &name) const { return fDir.filePath(name); }

    static QByteArray Bytes(TGraphDocument &document)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        document.SaveToStream(buffer);
        return buffer.data();
    }

    QTemporaryDir fDir;
    TGraphDocument fDocument;
};

TEST_F(DocumentWithoutWidgets, RunsWithoutAnApplicationForWidgets)
{
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(QCoreApplication::instance()->inherits("QApplication"));
}

TEST_F(DocumentWithoutWidgets, SavesReadsAndCountsAMeasurement)
{
    Mark({20, 20}, 1000, kRed, 1);
    Mark({60, 20}, 1001, kBlue, 1);
    Mark({100, 20}, 1000, kRed, 2);
    Mark({140, 20}, 1000, kRed, 3);
    EXPECT_TRUE(fDocument.Modified());
    SaveMeasurement(fDocument, {{"3", "Cells", "1000", "255"}, {"1", "Nuclei", "1001", "16711680"}},
                    File("a.tlv"));
    EXPECT_EQ(fDocument.Objects().Count(), 4) << "the group records leave the document again";

    TGraphDocument opened;
    std::vector<TGroupRecord> groups;
    ReadMeasurement(opened, File("a.tlv"), [&](const TGroupRecord &g) { groups.push_back(g); });
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Description, "Cells");
    EXPECT_EQ(groups[1].Id, 1001);
    EXPECT_EQ(groups[1].Color, kBlue);
    EXPECT_EQ(opened.Objects().Count(), 4);
    std::vector<TGroupRow> rows(3);
    rows[0].Id = 1000;
    rows[1].Id = 1001;
    rows[2].Id = 1002;
    EXPECT_EQ(RecountMarks(opened, rows), (std::vector<int>{3, 1, 0}));
    EXPECT_EQ(Bytes(opened), Bytes(fDocument)) << "the marks read are the marks written";
}

TEST_F(DocumentWithoutWidgets, FileRoundTripKeepsEveryByteAndTheModifiedState)
{
    Mark({20, 20}, 1000, kRed, 1);
    Mark({40, 40}, 1000, kRed, 2);
    fDocument.SaveToFile(File("g.gsd"));
    EXPECT_FALSE(fDocument.Modified());

    TGraphDocument copy;
    copy.LoadFromFile(File("g.gsd"));
    QFile file(File("g.gsd"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(Bytes(copy), file.readAll());

    // Merged once more, the objects take IDs of their own, and the document is modified.
    const std::optional<TRect> added = copy.MergeFromFile(File("g.gsd"), 0, 0);
    ASSERT_TRUE(added);
    EXPECT_EQ(*added, copy.GetObjectsBounds(copy.Objects())) << "they lie where the others do";
    ASSERT_EQ(copy.Objects().Count(), 4);
    EXPECT_EQ(copy.Objects()[2]->ID(), 3u);
    EXPECT_EQ(copy.Objects()[3]->ID(), 4u);
    EXPECT_TRUE(copy.Modified());
}

TEST_F(DocumentWithoutWidgets, BatchSettlesTheModifiedStateOnceAndFreesWhatLeaves)
{
    Mark({20, 20}, 1000, kRed, 1);
    fDocument.SetModified(false);
    fDocument.BeginUpdate();
    Mark({40, 40}, 1000, kRed, 2);
    EXPECT_FALSE(fDocument.Modified()) << "a batch settles the state when it ends";
    fDocument.Objects().Delete(0);
    fDocument.EndUpdate();
    EXPECT_TRUE(fDocument.Modified());
    ASSERT_EQ(fDocument.Objects().Count(), 1);
    EXPECT_EQ(fDocument.FindObjectByID(1), nullptr);
    EXPECT_EQ(fDocument.FindObjectByID(fDocument.Objects()[0]->ID()), fDocument.Objects()[0]);

    fDocument.Objects()[0]->SetSelected(true);
    EXPECT_EQ(fDocument.SelectedObjects().Count(), 1);
    fDocument.Clear();
    EXPECT_EQ(fDocument.SelectedObjects().Count(), 0);
    EXPECT_FALSE(fDocument.Modified()) << "a cleared document starts unmodified";
}

TEST_F(DocumentWithoutWidgets, DrawsItsMarksIntoThePicture)
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    PlaceImage(fDocument, picture);
    Mark({50, 50}, 1000, kRed, 1);
    const QImage marked = RenderImageWithMarks(fDocument);
    ASSERT_EQ(marked.size(), picture.size());
    EXPECT_EQ(marked.pixelColor(50, 43), QColor(Qt::red));
    EXPECT_EQ(marked.pixelColor(150, 50), QColor(Qt::white));
    // A mark is kept with its centre on the picture, as in the window.
    Mark({250, 50}, 1000, kRed, 2);
    const TRect bounds = fDocument.Objects()[1]->BoundsRect();
    EXPECT_LE((bounds.Left + bounds.Right) / 2, 200);
}

} // namespace
} // namespace talivo
