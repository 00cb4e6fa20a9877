#include "app/MarkedImage.h"
#include "app/Measurement.h"
#include "app/MeasurementDocument.h"
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

// Two groups, the second without marks, and a mark of a group the measurement lacks.
void Count(TMeasurementDocument &measurement)
{
    const int cells = measurement.Groups().Id(measurement.AddGroup("Cells", kRed, 0, 2));
    measurement.AddGroup("Nuclei", kBlue, 0, 5);
    for (int i = 0; i < 2; ++i)
        InsertMark(measurement.Marks(), {20 + 40 * i, 20}, 10, cells, kRed, MarkText(i + 1), 10);
    InsertMark(measurement.Marks(), {200, 20}, 10, 4321, kRed, "#9", 10);
}

QByteArray FileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(DocumentWithoutWidgets, MeasurementOpensWhatItSavedAndCountsItsMarks)
{
    TMeasurementDocument saved;
    Count(saved);
    EXPECT_EQ(saved.Groups().Id(1), 1001) << "a measurement hands out ids of its own";
    saved.Save(File("m.tlv"));
    EXPECT_EQ(saved.MarkCount(), 3) << "the group records leave the marks again";

    TMeasurementDocument opened;
    opened.AddGroup("replaced", 0, 0, 0);
    opened.Open(File("m.tlv"));
    TMeasurementDocument read;
    read.Read(File("m.tlv"));
    for (TMeasurementDocument *measurement : {&opened, &read}) {
        ASSERT_EQ(measurement->Groups().RowCount(), 2);
        EXPECT_EQ(measurement->Groups().Description(0), "Cells");
        EXPECT_EQ(measurement->Groups().Id(1), 1001);
        EXPECT_EQ(measurement->Groups().Count(1), 5);
        EXPECT_EQ(measurement->MarkCount(), 3);
        EXPECT_EQ(measurement->MarksWithoutGroup(), 1);
        EXPECT_EQ(measurement->Recount(), (std::vector<int>{2, 0}));
        EXPECT_EQ(measurement->Groups().Count(1), 5) << "the stored counts stay";
        EXPECT_EQ(Bytes(measurement->Marks()), Bytes(saved.Marks()));
    }
    opened.Save(File("again.tlv"));
    EXPECT_EQ(FileBytes(File("again.tlv")), FileBytes(File("m.tlv")));
}

TEST_F(DocumentWithoutWidgets, MeasurementThatCannotOpenAFileKeepsWhatItHeld)
{
    TMeasurementDocument measurement;
    Count(measurement);
    const QByteArray before = Bytes(measurement.Marks());
    QFile damaged(File("damaged.tlv"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    // A graph stream whose one record is cut short.
    damaged.write(QByteArray("0.GS\x01\x00\x00\x00\x05\x00", 10));
    damaged.close();
    for (const QString &name : {File("damaged.tlv"), File("missing.tlv")})
        EXPECT_THROW(measurement.Open(name), EMeasurementError);
    EXPECT_EQ(measurement.Groups().RowCount(), 2);
    EXPECT_EQ(Bytes(measurement.Marks()), before);
}

TEST_F(DocumentWithoutWidgets, MeasurementWorksOnTheMarksOfAnotherDocument)
{
    TMeasurementDocument saved;
    Count(saved);
    saved.Save(File("m.tlv"));

    TGroupIdCounter ids;
    TMeasurementDocument shown;
    shown.TakeIdsFrom(ids);
    shown.ShowMarksIn(&fDocument);
    EXPECT_EQ(shown.Groups().Id(shown.AddGroup("first", 0, 0, 0)), 1000);
    EXPECT_EQ(ids.Next(), 1001);
    shown.Open(File("m.tlv"));
    EXPECT_EQ(fDocument.Objects().Count(), 3);
    EXPECT_EQ(&shown.Marks(), &fDocument);
    EXPECT_EQ(shown.Groups().RowCount(), 2);
    EXPECT_FALSE(fDocument.Modified()) << "the marks are as read";

    shown.ShowMarksIn(nullptr);
    EXPECT_EQ(shown.MarkCount(), 0) << "its own marks are empty";
    EXPECT_EQ(fDocument.Objects().Count(), 3);
}

// Everything the measurement writes, and the counts of its table.
QByteArray Snapshot(TMeasurementDocument &measurement, const QString &fileName)
{
    measurement.Save(fileName);
    QByteArray state = FileBytes(fileName);
    for (const TGroupRow &group : measurement.Groups().Rows())
        state += QString(" %1:%2:%3").arg(group.Id).arg(group.Count).arg(group.Color).toUtf8();
    return state;
}

TEST_F(DocumentWithoutWidgets, MeasurementTakesEveryStepBackAndAgain)
{
    TMeasurementDocument measurement;
    std::vector<QByteArray> states{Snapshot(measurement, File("s.tlv"))};
    const auto took = [&] { states.push_back(Snapshot(measurement, File("s.tlv"))); };
    measurement.NewGroup("Cells", kRed, 0, 0);
    took();
    measurement.NewGroup("Nuclei", kBlue, 0, 0);
    took();
    const int cells = measurement.Groups().Id(0);
    const int nuclei = measurement.Groups().Id(1);
    std::vector<TGraphNode *> marks;
    for (int i = 0; i < 5; ++i) {
        marks.push_back(&measurement.AddMark({20 + 30 * i, 20}, 10, i % 2 ? nuclei : cells, 10));
        took();
    }
    EXPECT_EQ(measurement.AddMarks({{20, 80}, {60, 80}}, nuclei, 10, 10), 2);
    took();
    ASSERT_TRUE(measurement.DeleteMarks({marks[2]}));
    took();
    EXPECT_EQ(marks[4]->Text(), "#2") << "numbered anew";

    // Two keys of one run make one step; a key of the next run another.
    const auto move = [&](TGraphNode *mark, int dx, int run) {
        const TRect before = mark->BoundsRect();
        mark->SetBoundsRect({before.Left + dx, before.Top, before.Right + dx, before.Bottom});
        measurement.MarksMoved({{mark, before}}, run);
    };
    move(marks[0], 1, 7);
    move(marks[0], 1, 7);
    took();
    move(marks[0], 5, 8);
    took();
    measurement.EditGroup(1, "Debris", 0x00FF00);
    took();
    EXPECT_EQ(marks[1]->Brush().Color(), 0x00FF00u);
    measurement.DeleteGroup(0);
    took();
    EXPECT_EQ(measurement.MarkCount(), 4);
    EXPECT_TRUE(measurement.Unsaved());

    const auto steps = static_cast<int>(states.size()) - 1;
    ASSERT_EQ(measurement.History().count(), steps);
    for (int i = steps - 1; i >= 0; --i) {
        measurement.History().undo();
        EXPECT_EQ(Snapshot(measurement, File("s.tlv")), states[static_cast<size_t>(i)])
            << "back to state " << i;
    }
    EXPECT_EQ(measurement.MarkCount(), 0);
    EXPECT_FALSE(measurement.Unsaved());
    for (int i = 1; i <= steps; ++i) {
        measurement.History().redo();
        EXPECT_EQ(Snapshot(measurement, File("s.tlv")), states[static_cast<size_t>(i)])
            << "again to state " << i;
    }
    // Steps let go with the history free the marks they hold out of the document: those of the
    // deleted group, and a mark added and taken back.
    measurement.AddMark({200, 200}, 10, nuclei, 10);
    measurement.History().undo();
    measurement.StartHistory(false);
    EXPECT_EQ(measurement.MarkCount(), 4);
    EXPECT_FALSE(measurement.History().canUndo());
}

TEST_F(DocumentWithoutWidgets, GroupRecordsTakeTheIDsThatInsertingThemWouldGive)
{
    // Marks numbered 1 to 7 with gaps at 2, 3 and 6 once some are gone: IDs above the count.
    for (int i = 0; i < 7; ++i)
        Mark({20 + 30 * i, 20}, 1000, kRed, i + 1);
    for (const uint32_t id : {6u, 3u, 2u})
        TGraphObject::Free(fDocument.FindObjectByID(id));
    const QByteArray marks = Bytes(fDocument);
    const std::vector<QStringList> records = {
        {"1", "a", "1000", "255"}, {"0", "b", "1001", "0"}, {"0", "c", "1002", "0"}};
    SaveMeasurement(fDocument, records, File("m.tlv"));
    EXPECT_EQ(Bytes(fDocument), marks) << "the marks learn nothing of the save";

    TGraphDocument read;
    read.LoadFromFile(File("m.tlv"));
    ASSERT_EQ(read.Objects().Count(), 4 + 3);
    // The IDs the records would get as nodes inserted among the marks, one after another.
    std::vector<uint32_t> inserted;
    for (size_t row = 0; row < records.size(); ++row)
        inserted.push_back(
            fDocument.InsertNode({0, 0, 10, 10}, TGraphDocument::FindClass("TRectangularNode"))
                ->ID());
    for (size_t row = 0; row < records.size(); ++row) {
        const TGraphObject *record = read.Objects()[4 + static_cast<int32_t>(row)];
        EXPECT_EQ(record->Tag(), kGroupRecordTag);
        EXPECT_EQ(record->ID(), inserted[row]) << row;
    }
}

} // namespace
} // namespace talivo
