#include "app/Measurement.h"
#include "tests/app/MarkingWorkspace.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

namespace talivo::test {
namespace {

// A picture with two groups, green current, and the add tool pressed.
class History : public MarkingWorkspace {
protected:
    void SetUp() override
    {
        Open(400, 300);
        fGreen = AddGroup(clLime);
        fRed = AddGroup(clRed);
        List().Select(0);
        Press("ToolButtonAdd");
    }

    void AddMarks(const std::vector<std::pair<int, TPoint>> &marks)
    {
        Press("ToolButtonAdd");
        for (const auto &[row, at] : marks) {
            List().Select(row);
            Click(at);
        }
    }
    void Band(TPoint from, TPoint to)
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

    // What a save writes, and what the window shows beyond it: the table's cells and each
    // mark's place in the list, caption, looks and visibility.
    QStringList State()
    {
        std::vector<QStringList> records;
        for (const TGroupRow &group : Groups().Rows())
            records.push_back(GroupRecordFields(group));
        const QString name = fDir.file("state.tlv");
        talivo::SaveMeasurement(Graph().Document(), records, name);
        QStringList state{QString::fromLatin1(Read(name).toHex())};
        for (int row = 0; row < Groups().RowCount(); ++row) {
            QStringList cells;
            for (const TGroupField field : {gfCaption, gfCount, gfDescription, gfId, gfColor})
                cells << Groups().Text(row, field);
            state << cells.join('|');
        }
        for (int32_t i = 0; i < Graph().Objects().Count(); ++i) {
            const TGraphObject &mark = *Graph().Objects()[i];
            const TRect r = mark.BoundsRect();
            state << QString("%1 %2 %3 %4,%5,%6,%7 %8 %9 %10 %11")
                         .arg(mark.ID())
                         .arg(mark.Text())
                         .arg(mark.Tag())
                         .arg(r.Left)
                         .arg(r.Top)
                         .arg(r.Right)
                         .arg(r.Bottom)
                         .arg(mark.Visible())
                         .arg(mark.Brush().Color())
                         .arg(mark.Font().Color())
                         .arg(mark.Font().Height());
        }
        return state;
    }

    QAction &Action(const char *name) { return *Form().findChild<QAction *>(name); }
    void Undo() { Action("Undo1").trigger(); }
    void Redo() { Action("Redo1").trigger(); }
    const QUndoStack &Steps() { return Form().Measurement().History(); }

    // Takes the last step back and forth twice, so that what the first round leaves behind
    // shows in the second, and checks the menu names the step.
    void ExpectUndoAndRedo(const QStringList &before, const QStringList &after, const QString &step)
    {
        ASSERT_EQ(State(), after) << "as the step left it";
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(Action("Undo1").text(), "Undo " + step);
            Undo();
            EXPECT_EQ(State(), before) << "undone, round " << round;
            EXPECT_EQ(Action("Redo1").text(), "Redo " + step);
            Redo();
            EXPECT_EQ(State(), after) << "redone, round " << round;
        }
    }

    int fGreen = 0;
    int fRed = 0;
};

TEST_F(History, AddingAMarkIsTakenBackAndRedoneWithItsNumber)
{
    AddMarks({{0, {50, 50}}, {1, {100, 50}}});
    const QStringList before = State();
    AddMarks({{0, {150, 50}}});
    ExpectUndoAndRedo(before, State(), "add mark");
    EXPECT_EQ(Texts(fGreen), QStringList({"#1", "#2"}));
    EXPECT_EQ(Counts(), QStringList({"2", "1"}));

    // A mark of a group that has no row is blue, without number, and still a step.
    const QStringList known = State();
    Form().AddMark(300, 200, 8, 424242);
    ExpectUndoAndRedo(known, State(), "add mark");
}

TEST_F(History, DeletingBringsBackMarksInTheirPlacesWithTheirNumbers)
{
    AddMarks({{0, {50, 50}}, {1, {100, 50}}, {0, {150, 50}}, {1, {200, 50}}, {0, {250, 50}}});
    Press("ToolButtonDel");

    // One click in the middle renumbers the marks behind it.
    QStringList before = State();
    Click({150, 50});
    EXPECT_EQ(Texts(fGreen), QStringList({"#1", "#2"}));
    ExpectUndoAndRedo(before, State(), "delete mark");

    // A rubber band over marks of both groups is one step.
    before = State();
    Band({0, 0}, {175, 100});
    EXPECT_EQ(Counts(), QStringList({"1", "1"}));
    ExpectUndoAndRedo(before, State(), "delete marks");

    // Back to the start, step by step, and forward again to the end.
    const QStringList end = State();
    Undo();
    Undo();
    EXPECT_EQ(Texts(fGreen), QStringList({"#1", "#2", "#3"}));
    EXPECT_EQ(Texts(fRed), QStringList({"#1", "#2"}));
    Redo();
    Redo();
    EXPECT_EQ(State(), end);
    EXPECT_FALSE(Action("Redo1").isEnabled());
}

TEST_F(History, ADragIsOneStepAndACancelledDragNone)
{
    AddMarks({{0, {50, 50}}, {0, {150, 50}}});
    Press("ToolButtonMove");
    const QStringList before = State();
    Mouse(QEvent::MouseButtonPress, {150, 50}, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 5; ++step)
        Mouse(QEvent::MouseMove, {150 + 6 * step, 50 + 4 * step}, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {180, 70}, Qt::LeftButton, Qt::NoButton);
    ASSERT_NE(State(), before);
    ExpectUndoAndRedo(before, State(), "move mark");

    // After the point size changed, the mark goes back to its place in the size of the others.
    const TRect dragged = Mark(1).BoundsRect();
    Slider("TrackBarPointSize").setValue(Slider("TrackBarPointSize").value() + 6);
    Undo();
    const TRect back = Mark(1).BoundsRect();
    EXPECT_EQ(back.Width(), Mark(0).BoundsRect().Width());
    EXPECT_EQ(back.Left + back.Right, 2 * 150);
    EXPECT_EQ(back.Top + back.Bottom, 2 * 50);
    Redo();
    EXPECT_EQ(Mark(1).BoundsRect().Left + Mark(1).BoundsRect().Right, dragged.Left + dragged.Right);
    Slider("TrackBarPointSize").setValue(Slider("TrackBarPointSize").value() - 6);

    const int steps = Steps().count();
    const QStringList moved = State();
    Mouse(QEvent::MouseButtonPress, {180, 70}, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {250, 150}, Qt::NoButton, Qt::LeftButton);
    QTest::keyClick(&Graph(), Qt::Key_Escape);
    Mouse(QEvent::MouseButtonRelease, {250, 150}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(State(), moved);
    EXPECT_EQ(Steps().count(), steps);
}

TEST_F(History, ARunOfArrowKeysIsOneStepUntilAClickEndsIt)
{
    AddMarks({{0, {50, 50}}, {0, {150, 50}}});
    Press("ToolButtonMove");
    Click({150, 50});
    const int steps = Steps().count();
    const QStringList before = State();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&Graph(), Qt::Key_Right);
    QTest::keyClick(&Graph(), Qt::Key_Down);
    EXPECT_EQ(Steps().count(), steps + 1);
    EXPECT_EQ(Mark(1).BoundsRect().Left, Mark(0).BoundsRect().Left + 103);
    ExpectUndoAndRedo(before, State(), "move mark");

    // A click starts a new run.
    const QStringList moved = State();
    Click({153, 51});
    QTest::keyClick(&Graph(), Qt::Key_Up);
    EXPECT_EQ(Steps().count(), steps + 2);
    ExpectUndoAndRedo(moved, State(), "move mark");

    // Keys that bring the mark back to where the run began leave no step.
    Click({153, 51});
    QTest::keyClick(&Graph(), Qt::Key_Left);
    QTest::keyClick(&Graph(), Qt::Key_Right);
    EXPECT_EQ(Steps().count(), steps + 2);
}

TEST_F(History, GroupsComeBackWithTheirRowsNumbersAndMarks)
{
    AddMarks({{0, {50, 50}}, {1, {100, 50}}, {0, {150, 50}}, {1, {200, 50}}});

    QStringList before = State();
    fPrompter.PushDialog(mrOk, [](QDialog &dialog) {
        auto &settings = dynamic_cast<TFormGroupSettings &>(dialog);
        settings.LabeledEditDescription().setText("Nuclei");
        settings.ColorBoxGroup().SetSelected(clYellow);
    });
    List().Select(1);
    Form().ButtonEditGroupClick();
    EXPECT_EQ(Mark(1).Brush().Color(), clYellow);
    ExpectUndoAndRedo(before, State(), "edit group");

    // The first group goes with its marks and comes back in its row, with its number.
    before = State();
    List().Select(0);
    fPrompter.PushAnswer(true);
    Form().ButtonRemoveGroupClick();
    EXPECT_EQ(Graph().Objects().Count(), 2);
    ExpectUndoAndRedo(before, State(), "delete group");
    Undo();
    ASSERT_GE(List().Selected(), 0);
    EXPECT_EQ(Groups().Id(List().Selected()), fRed) << "the current group stays current";

    before = State();
    Form().AddGroupRow("Debris", clBlue, 0, 0);
    ExpectUndoAndRedo(before, State(), "add group");
    Undo();
    EXPECT_GE(List().Selected(), 0);
    EXPECT_EQ(Form().StatusText(3), "Group: " + Groups().Description(List().Selected()));
}

TEST_F(History, DetectedMarksAreOneStep)
{
    AddMarks({{0, {50, 50}}});
    const QStringList before = State();
    EXPECT_EQ(Form().AddProposedMarks({{100, 100}, {200, 100}, {300, 100}}, fRed), 3);
    EXPECT_EQ(Counts(), QStringList({"1", "3"}));
    ExpectUndoAndRedo(before, State(), "add detected marks");
}

TEST_F(History, MarksThatComeBackLookLikeTheMarksAroundThem)
{
    AddMarks({{0, {50, 50}}, {0, {150, 50}}});
    Press("ToolButtonDel");
    Click({150, 50});
    Undo();
    Press("ToolButtonAdd");
    Click({250, 50});
    Undo();

    // Marks put back after the point size changed take the new size, as the others did.
    Slider("TrackBarPointSize").setValue(Slider("TrackBarPointSize").value() + 7);
    Redo();
    ASSERT_EQ(Graph().Objects().Count(), 3);
    EXPECT_EQ(Mark(2).BoundsRect().Width(), Mark(0).BoundsRect().Width());
    EXPECT_EQ(Mark(2).Font().Height(), Mark(0).Font().Height());

    // And hidden ones stay hidden.
    Press("ToolButtonHide");
    Undo();
    Redo();
    EXPECT_FALSE(Mark(2).Visible());
}

TEST_F(History, TheUnsavedFlagFollowsTheSavedStep)
{
    AddMarks({{0, {50, 50}}});
    const QString file = fDir.file("saved.tlv");
    fPrompter.PushFile(file);
    Form().Savemeasurement1Click();
    ASSERT_FALSE(Form().Unsaved());

    AddMarks({{0, {150, 50}}});
    EXPECT_TRUE(Form().Unsaved());
    Undo();
    EXPECT_FALSE(Form().Unsaved()) << "back where it was saved";
    Undo();
    EXPECT_TRUE(Form().Unsaved());
    Redo();
    EXPECT_FALSE(Form().Unsaved());

    // A new step where a step was taken back leaves the saved state behind for good.
    Undo();
    AddMarks({{1, {250, 50}}});
    EXPECT_FALSE(Action("Redo1").isEnabled());
    Undo();
    EXPECT_TRUE(Form().Unsaved());

    // Opening a measurement, or a picture, starts a fresh history.
    fPrompter.PushAnswer(true);
    OpenMeasurement(file);
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_FALSE(Action("Undo1").isEnabled());
    AddMarks({{0, {150, 50}}});
    ASSERT_TRUE(Action("Undo1").isEnabled());
    fPrompter.PushAnswer(true);
    Open(300, 200);
    EXPECT_FALSE(Action("Undo1").isEnabled());
    EXPECT_FALSE(Action("Redo1").isEnabled());
    EXPECT_EQ(Action("Undo1").text(), "Undo");
}

TEST_F(History, KeysTakeStepsBackAndForth)
{
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    AddMarks({{0, {50, 50}}, {0, {150, 50}}});
    Graph().setFocus();
    QTest::keyClick(&Graph(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Graph().Objects().Count(), 1);
    QTest::keyClick(&Graph(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Graph().Objects().Count(), 0);
    QTest::keyClick(&Graph(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Graph().Objects().Count(), 1);
    List().setFocus();
    QTest::keyClick(&List(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Graph().Objects().Count(), 2);
    EXPECT_EQ(Texts(fGreen), QStringList({"#1", "#2"}));
}

TEST_F(History, NoStepIsTakenBackDuringADrag)
{
    AddMarks({{0, {50, 50}}, {0, {150, 50}}});
    Press("ToolButtonMove");
    Mouse(QEvent::MouseButtonPress, {150, 50}, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {170, 60}, Qt::NoButton, Qt::LeftButton);
    Undo();
    EXPECT_EQ(Graph().Objects().Count(), 2);
    Mouse(QEvent::MouseButtonRelease, {170, 60}, Qt::LeftButton, Qt::NoButton);
    Undo();
    EXPECT_EQ(Mark(1).BoundsRect().Left - Mark(0).BoundsRect().Left, 100);
}

} // namespace
} // namespace talivo::test
