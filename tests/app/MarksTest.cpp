#include "app/MarkStyle.h"
#include "app/Measurement.h"
#include "graph/canvas/CanvasColors.h"
#include "tests/app/MarkingWorkspace.h"

#include <QFile>

namespace talivo::test {
namespace {

class Marks : public MarkingWorkspace {
protected:
    // Clicks in "Add mark", each with the given group row selected.
    void AddMarks(const std::vector<std::pair<int, TPoint>> &marks)
    {
        Press("ToolButtonAdd");
        for (const auto &[row, at] : marks) {
            List().Select(row);
            Click(at);
        }
    }

    // What a user finds after opening the marks that AddMarks put at 50, 100, ... 250: the mark
    // under each point, then the captions and counts after deleting the middle mark by a click
    // and the first two by a rubber band, then the bytes of the measurement saved.
    QStringList WorkOnOpenedMarks(const std::vector<TPoint> &points, const QString &saveAs)
    {
        QStringList found;
        for (const TPoint &at : points) {
            const TGraphObject *hit = Graph().FindObjectAt(at.X, at.Y);
            found << (hit ? QString::number(
                                Graph().Objects().IndexOf(const_cast<TGraphObject *>(hit))) +
                                hit->Text()
                          : QString("-"));
        }
        Form().TimerStartTimer();
        Press("ToolButtonDel");
        Click({150, 50});
        Mouse(QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, {175, 100}, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, {175, 100}, Qt::LeftButton, Qt::NoButton);
        for (int32_t i = 0; i < Graph().Objects().Count(); ++i)
            found << Graph().Objects()[i]->Text();
        found << Counts();
        fPrompter.PushFile(saveAs);
        Form().Savemeasurement1Click();
        QFile file(saveAs);
        found << (file.open(QIODevice::ReadOnly) ? file.readAll().toHex() : QString("unwritten"));
        return found;
    }
};

TEST(MarkStyle, TextIsBlackFromAChannelSumOf384AndHalfThePointSizeHigh)
{
    EXPECT_EQ(MarkTextColor(clLime), clWhite);
    EXPECT_EQ(MarkTextColor(clYellow), clBlack);
    EXPECT_EQ(MarkTextColor(0x808080), clBlack);
    EXPECT_EQ(MarkTextColor(0x7F8080), clWhite);
    EXPECT_EQ(MarkFontHeight(20), -10);
    EXPECT_EQ(MarkFontHeight(7), -3);
}

TEST_F(Marks, NumberWithinTheirGroupAndRenumberAfterDeleting)
{
    Open(400, 300);
    const int a = AddGroup(clLime);
    const int b = AddGroup(clRed);
    AddMarks({{0, {50, 50}}, {1, {100, 50}}, {0, {150, 50}}, {1, {200, 50}}, {0, {250, 50}}});
    EXPECT_EQ(Texts(a), QStringList({"#1", "#2", "#3"}));
    EXPECT_EQ(Texts(b), QStringList({"#1", "#2"}));
    EXPECT_EQ(Counts(), QStringList({"3", "2"}));

    Form().TimerStartTimer();
    Press("ToolButtonDel");
    Click({150, 50});
    EXPECT_EQ(Texts(a), QStringList({"#1", "#2"}));
    EXPECT_EQ(Counts(), QStringList({"2", "2"}));
    EXPECT_TRUE(Form().Unsaved());

    // A rubber band over the first two marks deletes both.
    Mouse(QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {175, 100}, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {175, 100}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Texts(a), QStringList({"#1"}));
    EXPECT_EQ(Texts(b), QStringList({"#1"}));
    EXPECT_EQ(Counts(), QStringList({"1", "1"}));
}

TEST_F(Marks, OpenedOnceWorkAsMarksReadStraightIntoTheCanvas)
{
    Open(400, 300);
    AddGroup(clLime);
    AddGroup(clRed);
    const std::vector<TPoint> points = {{50, 50}, {100, 50}, {150, 50}, {200, 50}, {250, 50}};
    AddMarks({{0, points[0]}, {1, points[1]}, {0, points[2]}, {1, points[3]}, {0, points[4]}});
    const std::vector<TPoint> probes = {points[0], points[3], points[4], {55, 58}, {300, 200}};
    const QString file = fDir.file("marks.tlv");
    fPrompter.PushFile(file);
    Form().Savemeasurement1Click();

    fPrompter.PushFile(file);
    Form().Openmeasurement1Click();
    ASSERT_EQ(Graph().Objects().Count(), 5);
    EXPECT_FALSE(Form().Unsaved());
    const QStringList opened = WorkOnOpenedMarks(probes, fDir.file("opened.tlv"));

    Graph().Clear();
    Groups().Clear();
    ReadMeasurement(Graph().Document(), file, [this](const TGroupRecord &group) {
        Form().AddGroupRow(group.Description, group.Color, group.Id, group.Count);
    });
    Form().TrackBarPointSizeChange();
    const QStringList read = WorkOnOpenedMarks(probes, fDir.file("read.tlv"));
    EXPECT_EQ(opened, read);
    EXPECT_EQ(opened.mid(0, 5), QStringList({"0#1", "3#2", "4#3", "0#1", "-"}));
    EXPECT_EQ(opened.mid(5, 2), QStringList({"#1", "#1"}));
    EXPECT_EQ(opened.mid(7, 2), QStringList({"1", "1"}));
}

TEST_F(Marks, TakeTheirShapeFromThePointSizeAndTheirColoursFromTheGroup)
{
    Open(400, 300);
    const int id = AddGroup(clLime);
    Slider("TrackBarPointSize").setValue(20);
    Form().AddMark(100, 50, 20, id);
    TGraphNode &mark = Mark(0);
    EXPECT_EQ(mark.ClassName(), "TCircularNode");
    EXPECT_EQ(mark.BoundsRect(), TRect({80, 30, 120, 70}));
    EXPECT_EQ(mark.NodeOptions(), TGraphNodeOptions({gnoMovable, gnoShowBackground}));
    EXPECT_EQ(mark.Font().Height(), -10);
    EXPECT_EQ(mark.Text(), "#1");
    EXPECT_EQ(mark.Tag(), id);
    EXPECT_EQ(mark.Pen().Color(), clLime);
    EXPECT_EQ(mark.Font().Color(), clWhite);

    Slider("TrackBarPointSize").setValue(40);
    EXPECT_EQ(mark.BoundsRect(), TRect({60, 10, 140, 90}));
    EXPECT_EQ(mark.Font().Height(), -20);
    EXPECT_EQ(mark.NodeOptions(), TGraphNodeOptions({gnoMovable, gnoShowBackground}));
    // A mark of a group the table lacks is blue, unnumbered and uncounted.
    Form().AddMark(300, 200, 7, id + 99);
    EXPECT_EQ(Mark(1).Brush().Color(), clBlue);
    EXPECT_EQ(Mark(1).Text(), "");
    EXPECT_EQ(Counts(), QStringList({"1"}));
}

TEST_F(Marks, FollowTheirGroupsColourAndDeletion)
{
    Open(400, 300);
    const int a = AddGroup(clLime);
    const int b = AddGroup(clRed);
    AddMarks({{0, {50, 50}}, {1, {100, 50}}, {0, {150, 50}}, {1, {200, 50}}});
    List().Select(0);
    for (const auto &[color, text] : {std::pair{clNavy, clWhite}, std::pair{clWhite, clBlack}}) {
        fPrompter.PushDialog(mrOk, [color = color](QDialog &dialog) {
            dynamic_cast<TFormGroupSettings &>(dialog).ColorBoxGroup().SetSelected(color);
        });
        Form().ButtonEditGroupClick();
        EXPECT_EQ(Mark(2).Brush().Color(), color);
        EXPECT_EQ(Mark(2).Font().Color(), text);
        EXPECT_EQ(Mark(1).Brush().Color(), clRed);
    }

    Mark(3).SetSelected(true);
    List().Select(0);
    fPrompter.PushAnswer(true);
    Form().ButtonRemoveGroupClick();
    EXPECT_TRUE(Texts(a).isEmpty());
    EXPECT_EQ(Texts(b), QStringList({"#1", "#2"}));
    EXPECT_EQ(Counts(), QStringList({"2"}));
    EXPECT_EQ(Graph().SelectedObjects().Count(), 0);
}

TEST_F(Marks, RightButtonInAddModeDeletesTheSelectionOnly)
{
    Open(400, 300);
    AddGroup(clLime);
    AddMarks({{0, {100, 100}}});
    EXPECT_EQ(Graph().CommandMode(), cmEdit);
    Form().TimerStartTimer();
    Click({300, 200}, Qt::RightButton);
    EXPECT_EQ(Graph().Objects().Count(), 1);
    EXPECT_FALSE(Form().Unsaved());

    Mark(0).SetSelected(true);
    Click({300, 200}, Qt::RightButton);
    EXPECT_EQ(Graph().Objects().Count(), 0);
    EXPECT_EQ(Counts(), QStringList({"0"}));
    EXPECT_TRUE(Form().Unsaved());
}

TEST_F(Marks, HidingKeepsCountsAndShowsMarksAddedMeanwhile)
{
    Open(400, 300);
    AddGroup(clLime);
    AddMarks({{0, {50, 50}}});
    Press("ToolButtonHide");
    EXPECT_FALSE(Mark(0).Visible());
    AddMarks({{0, {150, 50}}});
    EXPECT_TRUE(Mark(1).Visible());
    EXPECT_EQ(Counts(), QStringList({"2"}));
    Press("ToolButtonHide");
    EXPECT_TRUE(Mark(0).Visible());
}

TEST_F(Marks, EveryReleaseWithoutGroupsOnlySaysSo)
{
    Open(400, 300);
    Click({50, 50});
    Press("ToolButtonAdd");
    Click({50, 50});
    ASSERT_EQ(fPrompter.Asked().size(), 3u);
    EXPECT_EQ(fPrompter.Asked()[1].Text, "No group available.");
    EXPECT_EQ(fPrompter.Asked()[2].Text, "No group available.");
    EXPECT_EQ(Graph().Objects().Count(), 0);
}

} // namespace
} // namespace talivo::test
