#include "tests/app/Workspace.h"

#include "app/StrToInt.h"
#include "graph/objects/GraphNode.h"

#include <QToolButton>

namespace talivo::test {
namespace {

class Measurement : public Workspace {
protected:
    // Three groups and five marks, interleaved on the canvas.
    void Count()
    {
        LoadImage();
        Form().AddGroupRow("Cells", 255, 0, 0);
        Form().AddGroupRow("Debris", 65280, 0, 0);
        Form().AddGroupRow("Nuclei", 0xFF0000, 0, 0);
        const int ids[5] = {Groups().Id(0), Groups().Id(1), Groups().Id(0), Groups().Id(2),
                            Groups().Id(0)};
        for (int i = 0; i < 5; ++i)
            Form().AddMark(50 + 40 * i, 100, 20, ids[i]);
    }
    // A group record with the text, as the canvas holds it while a measurement is opened.
    void Record(const QString &text)
    {
        TGraphNode *node =
            Graph().InsertNode({0, 0, 10, 10}, TGraphControl::FindClass("TRectangularNode"));
        node->SetText(text);
        node->SetTag(500);
    }
    TGraphNode *Node(int index) { return dynamic_cast<TGraphNode *>(Graph().Objects()[index]); }
    QStringList Texts(const TGraphObjectList &objects)
    {
        QStringList texts;
        for (int i = 0; i < objects.Count(); ++i)
            texts << objects[i]->Text();
        return texts;
    }
};

TEST_F(Measurement, SavesOneRecordPerGroupAfterTheMarksAndReopensThem)
{
    Count();
    const QString ids[3] = {Groups().Text(0, gfId), Groups().Text(1, gfId), Groups().Text(2, gfId)};
    SaveMeasurement(fDir.file("a.tlv"));
    fPrompter.PushAnswer(true);
    SaveMeasurement(fDir.file("a.tlv"));
    SaveMeasurement(fDir.file("b.tlv"));
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_EQ(Texts(Graph().Objects()), QStringList({"#1", "#1", "#2", "#1", "#3"}));

    for (const char *name : {"a.tlv", "b.tlv"}) {
        TGraphControl file;
        file.LoadFromFile(fDir.file(name));
        ASSERT_EQ(file.Objects().Count(), 8) << name;
        for (int i = 0; i < 3; ++i) {
            const TGraphObject *record = file.Objects()[5 + i];
            EXPECT_EQ(record->Tag(), 500);
            EXPECT_EQ(record->BoundsRect(), TRect({10 * i, 0, 10 * i + 10, 10}));
        }
        EXPECT_EQ(file.Objects()[5]->Text(), "3\r\nCells\r\n" + ids[0] + "\r\n255\r\n");
    }

    OpenMeasurement(fDir.file("b.tlv"));
    EXPECT_EQ(Groups().RowCount(), 3);
    EXPECT_EQ(Groups().Text(2, gfCaption), " 3");
    EXPECT_EQ(Groups().Text(1, gfDescription), "Debris");
    EXPECT_EQ(Groups().Text(2, gfId), ids[2]);
    EXPECT_EQ(Groups().Text(0, gfCount), "3");
    EXPECT_EQ(Graph().Objects().Count(), 5);
    EXPECT_FALSE(Form().Unsaved());
    ASSERT_EQ(fPrompter.Asked().size(), 5u);
    EXPECT_EQ(fPrompter.Asked()[2].Caption, "Overwrite");
    for (const TPromptRecord &asked : fPrompter.Asked()) {
        if (asked.Kind == TPromptKind::pkYesNo)
            continue;
        EXPECT_EQ(asked.Options.Filters, std::vector<TFileFilter>({{"Merivo", "*.tlv"}}));
        EXPECT_EQ(asked.Options.DefaultExt, ".tlv");
    }
}

TEST_F(Measurement, OpeningAsksFirstAndKeepsHiddenMarksHidden)
{
    // Unsaved changes and all, the only answer is a notice: no question, no dialog.
    Form().AddGroupRow("Cells", 255, 0, 0);
    Form().Openmeasurement1Click();
    ASSERT_EQ(fPrompter.Asked().size(), 1u);
    EXPECT_EQ(fPrompter.Asked()[0].Text, "Please load image first.");

    Count();
    Form().findChild<QToolButton *>("ToolButtonHide")->click();
    SaveMeasurement(fDir.file("hidden.tlv"));
    Form().findChild<QToolButton *>("ToolButtonHide")->click();
    Form().AddGroupRow("unsaved", 0, 0, 0);
    fPrompter.PushAnswer(false);
    Form().Openmeasurement1Click();
    EXPECT_EQ(fPrompter.Asked().back().Text,
              "There are unsaved changes. Do you really want to discard the changes?");
    EXPECT_EQ(Groups().RowCount(), 5);

    fPrompter.PushAnswer(true);
    OpenMeasurement(fDir.file("hidden.tlv"));
    ASSERT_EQ(Graph().Objects().Count(), 5);
    EXPECT_FALSE(Node(0)->Visible());
    EXPECT_FALSE(Node(4)->Visible());
}

TEST_F(Measurement, RebuildsDamagedRecordsOrStopsAtThem)
{
    LoadImage();
    Record("\r\nNo count\r\nno id\r\n255\r\n");
    Record("7\nMixed\r1234\r\n$FF");
    Record("1\r\nBad colour\r\n1\r\nred\r\n");
    Record("1\r\nAfter\r\n1\r\n0\r\n");
    EXPECT_THROW(Form().RebuildGroups(), EConvertError);
    ASSERT_EQ(Groups().RowCount(), 2);
    EXPECT_EQ(Groups().Text(0, gfCount), "0");
    EXPECT_EQ(Groups().Text(0, gfId), "1000");
    EXPECT_EQ(Groups().Text(1, gfDescription), "Mixed");
    EXPECT_EQ(Groups().Text(1, gfCount), "7");
    EXPECT_EQ(Groups().Text(1, gfId), "1234");
    EXPECT_EQ(Groups().Text(1, gfColor), "255");
    EXPECT_EQ(Graph().Objects().Count(), 2);

    Graph().Clear();
    Record("1\r\nShort\r\n1\r\n");
    EXPECT_THROW(Form().RebuildGroups(), std::runtime_error);
    EXPECT_EQ(Groups().RowCount(), 2);
}

TEST_F(Measurement, CountsStopAtTheLargestInteger)
{
    LoadImage();
    const auto record = [this](const QString &count, int id) {
        TGraphNode *node =
            Graph().InsertNode({0, 0, 10, 10}, TGraphControl::FindClass("TRectangularNode"));
        node->SetText(count + "\r\nGroup\r\n" + QString::number(id) + "\r\n255\r\n");
        node->SetTag(500);
    };
    record("2147483646", 2000);
    record("99999999999", 2001);
    record("-99999999999", 2002);
    record("+2147483648", 2003);
    Form().RebuildGroups();
    ASSERT_EQ(Groups().RowCount(), 4);
    EXPECT_EQ(Groups().Text(1, gfCount), "2147483647");
    EXPECT_EQ(Groups().Text(2, gfCount), "-2147483648");
    EXPECT_EQ(Groups().Text(3, gfCount), "2147483647");

    // Adding marks counts on to the largest integer and stays there.
    for (const char *expected : {"#2147483647", "#2147483647"}) {
        Form().AddMark(50, 50, 10, 2000);
        EXPECT_EQ(Groups().Text(0, gfCount), "2147483647");
        EXPECT_EQ(Graph().Objects()[Graph().Objects().Count() - 1]->Text(), expected);
    }
    Form().AddMark(80, 50, 10, 2001);
    EXPECT_EQ(Groups().Text(1, gfCount), "2147483647");

    // So do proposals added in one step, each numbered at most with the largest integer.
    EXPECT_EQ(Form().AddProposedMarks({{200, 200}, {300, 300}}, 2003), 2);
    EXPECT_EQ(Groups().Text(3, gfCount), "2147483647");
    EXPECT_EQ(Graph().Objects()[Graph().Objects().Count() - 1]->Text(), "#2147483647");
}

TEST_F(Measurement, RecordsWithADescriptionOverSeveralLinesReadWhole)
{
    LoadImage();
    // As earlier versions stored a pasted description, and a record with blank lines at its end.
    Record("2\r\nCells\r\n\r\nDebris\tX\r\n1400\r\n255\r\n");
    Record("1\r\nNuclei\r\n1401\r\n65280\r\n\r\n\r\n");
    Form().RebuildGroups();
    ASSERT_EQ(Groups().RowCount(), 2);
    EXPECT_EQ(Groups().Text(0, gfDescription), "Cells Debris X");
    EXPECT_EQ(Groups().Text(0, gfId), "1400");
    EXPECT_EQ(Groups().Text(0, gfColor), "255");
    EXPECT_EQ(Groups().Text(0, gfCount), "2");
    EXPECT_EQ(Groups().Text(1, gfDescription), "Nuclei");
    EXPECT_EQ(Groups().Text(1, gfColor), "65280");
}

} // namespace
} // namespace talivo::test
