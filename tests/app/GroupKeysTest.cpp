#include "tests/app/MarkingWorkspace.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>

namespace talivo::test {
namespace {

// Three groups, the last one current as adding leaves it, with the window active as a user at
// the keyboard has it.
class GroupKeys : public MarkingWorkspace {
protected:
    GroupKeys()
    {
        Form().AddGroupRow("Cells", 0x0000FF00, 0, 0);
        Form().AddGroupRow("Debris", 0x000000FF, 0, 0);
        Form().AddGroupRow("Other", 0x00FF0000, 0, 0);
        Form().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Form()));
    }

    // A key as the keyboard gives it to the widget with the focus.
    void Type(QWidget &focus, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        focus.setFocus();
        QTest::keyClick(&focus, key, modifiers);
    }
    QString GroupStatus() { return Form().StatusText(3); }
};

TEST_F(GroupKeys, DigitKeysMakeTheirRowTheCurrentGroupAndTheStatusBarNamesIt)
{
    ASSERT_EQ(List().Selected(), 2);
    EXPECT_EQ(GroupStatus(), "Group: Other");

    Type(List(), Qt::Key_1);
    EXPECT_EQ(List().Selected(), 0);
    EXPECT_EQ(GroupStatus(), "Group: Cells");
    // Ahead of the table's own search, which has the focus.
    Type(List(), Qt::Key_2);
    EXPECT_EQ(List().Selected(), 1);
    EXPECT_EQ(GroupStatus(), "Group: Debris");

    // The numeric keypad's digits count the same.
    Type(Graph(), Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(List().Selected(), 2);
    Type(Graph(), Qt::Key_1, Qt::KeypadModifier);
    EXPECT_EQ(List().Selected(), 0);
    EXPECT_EQ(GroupStatus(), "Group: Cells");
    // The selection and the table's current row move together, as a click would move them.
    EXPECT_EQ(List().currentIndex().row(), 0);
}

TEST_F(GroupKeys, NewMarksGoToTheGroupTheKeyChose)
{
    Open(400, 300);
    Press("ToolButtonAdd");
    Type(Graph(), Qt::Key_2);
    Click({100, 100});
    Type(Graph(), Qt::Key_1);
    Click({200, 100});
    Click({300, 100});
    EXPECT_EQ(Counts(), QStringList({"2", "1", "0"}));
}

TEST_F(GroupKeys, KeysBeyondTheLastRowChangeNothing)
{
    Type(List(), Qt::Key_2);
    ASSERT_EQ(List().Selected(), 1);
    for (Qt::Key key : {Qt::Key_4, Qt::Key_5, Qt::Key_9}) {
        Type(List(), key);
        EXPECT_EQ(List().Selected(), 1) << key;
        Type(Graph(), key, Qt::KeypadModifier);
        EXPECT_EQ(List().Selected(), 1) << key;
    }
    EXPECT_EQ(GroupStatus(), "Group: Debris");
    // The last row itself is in reach.
    Type(List(), Qt::Key_3);
    EXPECT_EQ(List().Selected(), 2);
    // Nor does 0 name a row.
    Type(List(), Qt::Key_0);
    EXPECT_EQ(List().Selected(), 2);
}

TEST_F(GroupKeys, WithoutGroupsTheKeysDoNothing)
{
    while (Groups().RowCount() > 0)
        Form().DeleteGroup(0);
    EXPECT_EQ(List().Selected(), -1);
    EXPECT_EQ(GroupStatus(), "");
    Type(List(), Qt::Key_1);
    EXPECT_EQ(List().Selected(), -1);
    EXPECT_EQ(GroupStatus(), "");
}

TEST_F(GroupKeys, TextFieldsWithTheFocusKeepTheirDigits)
{
    // The window has no field of its own that takes digits; these stand for any that gets one.
    auto *edit = new QLineEdit(Form().statusBar());
    auto *spin = new QSpinBox(Form().statusBar());
    spin->setRange(0, 999);
    spin->setValue(0);
    Form().statusBar()->addWidget(edit);
    Form().statusBar()->addWidget(spin);
    edit->show();
    spin->show();

    Type(*edit, Qt::Key_1);
    Type(*edit, Qt::Key_2, Qt::KeypadModifier);
    EXPECT_EQ(edit->text(), "12");
    EXPECT_EQ(List().Selected(), 2);

    spin->selectAll();
    Type(*spin, Qt::Key_1);
    Type(*spin, Qt::Key_2, Qt::KeypadModifier);
    EXPECT_EQ(spin->value(), 12);
    EXPECT_EQ(List().Selected(), 2);
    EXPECT_EQ(GroupStatus(), "Group: Other");

    // Once the focus has left the field, the keys choose groups again.
    Type(List(), Qt::Key_1);
    EXPECT_EQ(List().Selected(), 0);
    EXPECT_EQ(edit->text(), "12");
}

TEST_F(GroupKeys, TheStatusBarFollowsEveryChangeOfTheCurrentGroup)
{
    List().Select(0);
    EXPECT_EQ(GroupStatus(), "Group: Cells");
    Groups().SetDescription(0, "Nuclei");
    EXPECT_EQ(GroupStatus(), "Group: Nuclei");
    // A description of another row leaves the text alone.
    Groups().SetDescription(1, "Dust");
    EXPECT_EQ(GroupStatus(), "Group: Nuclei");
    Form().DeleteGroup(0);
    EXPECT_EQ(GroupStatus(), "Group: Dust");
    // Texts of the other panels stay where other commands put them.
    EXPECT_TRUE(Form().StatusText(0).startsWith("V. ") || Form().StatusText(0).startsWith("Zoom"));
}

} // namespace
} // namespace talivo::test
