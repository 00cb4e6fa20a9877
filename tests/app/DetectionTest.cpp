#include "app/FormDetectSettings.h"
#include "app/ProgressPanel.h"
#include "graph/canvas/CanvasColors.h"
#include "tests/app/MarkingWorkspace.h"
#include "tests/pictures/SyntheticPictures.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>

namespace talivo::test {
namespace {

// The main window over a picture of 150 dark cells of radius 10 (and 800 by 600 pixels, so that
// it fills the canvas at 100 %), with two groups and marks of the cells' size.
class Detection : public MarkingWorkspace {
protected:
    Detection() : fCells(DarkCellsOnUnevenLight({800, 600}, 150, 10, 1)) {}

    void OpenCells()
    {
        ASSERT_TRUE(fCells.Image.save(fDir.file("cells.png")));
        fPrompter.PushFile(fDir.file("cells.png"));
        Form().Openimage1Click();
        Finish();
        Slider("TrackBarPointSize").setValue(10);
        fA = AddGroup(clLime);
        fB = AddGroup(clRed);
        Form().TimerStartTimer();
    }
    QToolButton &AutoDetect() { return *Form().findChild<QToolButton *>("ToolButtonAuto"); }
    // Presses "Auto detect" and waits for the detection to end.
    void Detect()
    {
        AutoDetect().click();
        Form().Job().Wait();
    }
    QString Module(const QString &name, const QString &body)
    {
        const QString file = Form().ModulesFolder() + name;
        Write(file, ("import sys, time\nout = sys.argv[2]\n" + body).toUtf8());
        return file;
    }
    // Lists the modules anew, as the next start of the program does.
    void Relist()
    {
        Restart();
        OpenCells();
    }
    QAction &ModuleItem(const QString &name)
    {
        for (QAction *item : Form().findChild<QMenu *>("PopupMenuModules")->actions())
            if (item->text() == name)
                return *item;
        throw std::runtime_error("no module item " + name.toStdString());
    }
    std::vector<QPointF> Centres(int groupId)
    {
        std::vector<QPointF> centres;
        for (int32_t i = 0; i < Graph().Objects().Count(); ++i) {
            const TRect bounds = Graph().Objects()[i]->BoundsRect();
            if (Graph().Objects()[i]->Tag() == groupId)
                centres.emplace_back((bounds.Left + bounds.Right) / 2,
                                     (bounds.Top + bounds.Bottom) / 2);
        }
        return centres;
    }
    TSyntheticPicture fCells;
    int fA = 0;
    int fB = 0;
};

TEST_F(Detection, OffersItsCommandsOnceAPictureIsLoaded)
{
    QMenu &modules = *Form().findChild<QMenu *>("Modules1");
    EXPECT_FALSE(AutoDetect().isEnabled());
    EXPECT_FALSE(modules.menuAction()->isVisible());
    Form().ToolButtonAutoClick();
    EXPECT_EQ(Notices(), QStringList({"Please load image first."}));

    OpenCells();
    QApplication::processEvents();
    EXPECT_TRUE(AutoDetect().isEnabled());
    EXPECT_TRUE(AutoDetect().isVisibleTo(&Form()));
    EXPECT_TRUE(modules.menuAction()->isVisible());
}

TEST_F(Detection, ProposesMarksOfTheSelectedGroupInOneStep)
{
    OpenCells();
    // A cell already marked, of the other group, and two marks of the group before.
    const QPointF marked = fCells.Centres[0];
    Form().AddMark(int(marked.x()), int(marked.y()), 10, fA);
    Form().AddMark(5, 5, 10, fB);
    Form().AddMark(790, 5, 10, fB);
    Form().TimerStartTimer();
    List().Select(1);

    Detect();
    const std::vector<QPointF> found = Centres(fB);
    const TMatchScore score = MatchCentres(fCells.Centres, found, fCells.Radius / 2);
    EXPECT_GE(score.F1(), 0.95);
    EXPECT_EQ(score.Hits, 149) << "the marked cell is left out";
    const int added = int(found.size()) - 2;
    EXPECT_EQ(Counts(), QStringList({"1", QString::number(added + 2)}));
    EXPECT_EQ(Form().StatusText(2), QString("%1 marks added.").arg(added));
    EXPECT_TRUE(Form().Unsaved());
    QStringList expected;
    for (int n = 1; n <= added + 2; ++n)
        expected << "#" + QString::number(n);
    EXPECT_EQ(Texts(fB), expected);
    const TGraphNode &first = Mark(3);
    EXPECT_EQ(first.BoundsRect().Right - first.BoundsRect().Left, 20);
    EXPECT_EQ(first.Brush().Color(), clRed);
    EXPECT_EQ(first.NodeOptions(), TGraphNodeOptions({gnoMovable, gnoShowBackground}));

    // Running it again finds every cell marked already.
    Form().TimerStartTimer();
    Detect();
    EXPECT_EQ(Form().StatusText(2), "0 marks added.");
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_TRUE(Notices().isEmpty());
}

TEST_F(Detection, LeavesOutProposalsWithinAMarkRadiusOfAnyMark)
{
    OpenCells();
    Slider("TrackBarPointSize").setValue(20);
    Form().AddMark(100, 100, 20, fA);
    Form().TimerStartTimer();
    // 20 away (the radius) is within, 21 is not; the fourth is within 20 of the third.
    const int added = Form().AddProposedMarks(
        {{120, 100}, {100, 121}, {150, 150}, {151, 151}, {100, 80}, {300, 300}}, fB);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(Centres(fB), std::vector<QPointF>({{100, 121}, {150, 150}, {300, 300}}));
    EXPECT_EQ(Texts(fB), QStringList({"#1", "#2", "#3"}));
    EXPECT_EQ(Counts(), QStringList({"1", "3"}));
    EXPECT_TRUE(Form().Unsaved());

    Form().TimerStartTimer();
    EXPECT_EQ(Form().AddProposedMarks({}, fB), 0);
    EXPECT_EQ(Form().AddProposedMarks({{500, 500}}, fB + 99), 0);
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_EQ(Graph().Objects().Count(), 4);
}

TEST_F(Detection, AsksForAGroupAndAModuleThatExists)
{
    LoadImage();
    Form().ToolButtonAutoClick();
    Form().AddGroupRow("cells", clRed, 0, 0);
    List().clearSelection();
    Form().ToolButtonAutoClick();
    Module("count.py", "open(out, 'w').write('1\\t1\\n')\n");
    Restart();
    LoadImage();
    Form().AddGroupRow("cells", clRed, 0, 0);
    QFile::remove(Form().ModulesFolder() + "count.py");
    ModuleItem("count").trigger();
    EXPECT_EQ(Notices(),
              QStringList({"No group available.", "Please select the group the marks are for.",
                           "The module \"count\" is not in the modules folder."}));
    EXPECT_FALSE(Form().Job().Running());
    EXPECT_EQ(Graph().Objects().Count(), 0);
}

TEST_F(Detection, RunsModuleFilesOfTheModulesFolderOnly)
{
    Module("count.py", "open(out, 'w').write('100\\t100\\n200.4\\t150.6\\n\\n799.5\\t0\\n')\n");
    Module("Autodetect.py", "open(out, 'w').write('50\\t60\\n')\n");
    Relist();
    ModuleItem("count").trigger();
    Form().Job().Wait();
    EXPECT_EQ(Centres(fB), std::vector<QPointF>({{100, 100}, {200, 151}, {799, 0}}));
    EXPECT_EQ(Form().StatusText(2), "3 marks added.");

    // A module of the built-in's name stands in for it. A chosen module stays the one "Auto
    // detect" runs.
    ModuleItem("Autodetect").trigger();
    Form().Job().Wait();
    EXPECT_EQ(Centres(fB).back(), QPointF(50, 60));
    EXPECT_EQ(Counts(), QStringList({"0", "4"}));

    // Files beside the picture or in the working folder are no modules.
    QFile::remove(Form().ModulesFolder() + "Autodetect.py");
    Write(fDir.file("Autodetect.py"), "open(__import__('sys').argv[2], 'w').write('7\\t7\\n')\n");
    QDir().mkpath(fDir.file("work"));
    Write(fDir.file("work/Autodetect.py"), "raise SystemExit(5)\n");
    const QString folder = QDir::currentPath();
    QDir::setCurrent(fDir.file("work"));
    Detect();
    QDir::setCurrent(folder);
    EXPECT_GT(Centres(fB).size(), 140u);
    EXPECT_TRUE(Notices().isEmpty());
}

TEST_F(Detection, AddsNothingWhenAModuleFailsAndShowsWhatItReported)
{
    Module("crash.py", "open(out, 'w').write('1\\t1\\n')\n"
                       "sys.stderr.write('Traceback (most recent call last):\\n')\n"
                       "sys.stderr.write('ValueError: no cells in this picture\\n')\n"
                       "sys.exit(2)\n");
    Module("garbled.py", "open(out, 'w').write('1\\t1\\nx=5 y=6\\n')\n");
    Module("slow.py", "time.sleep(30)\n");
    Relist();
    for (const char *module : {"crash", "garbled", "slow"}) {
        if (QString(module) == "slow")
            Form().SetModuleRunOptions({.Interpreter = {}, .TimeLimitMs = 2000});
        ModuleItem(module).trigger();
        Form().Job().Wait();
    }
    const QStringList notices = Notices();
    ASSERT_EQ(notices.size(), 3);
    EXPECT_EQ(notices[0],
              "The module \"crash\" failed with the exit code 2.\nNo marks were added.\n\n"
              "The module reported:\nTraceback (most recent call last):\n"
              "ValueError: no cells in this picture");
    EXPECT_EQ(notices[1], "The module \"garbled\" wrote a line that is not x TAB y on the picture, "
                          "in line 2: x=5 y=6\nNo marks were added.");
    EXPECT_EQ(notices[2], "The module \"slow\" did not finish in time and was stopped.\n"
                          "No marks were added.");
    EXPECT_EQ(Graph().Objects().Count(), 0);
    EXPECT_EQ(Counts(), QStringList({"0", "0"}));
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_EQ(Form().StatusText(2), "No marks were added.");
}

TEST_F(Detection, KeepsTheWindowAnsweringAndCanBeCancelled)
{
    Module("slow.py", "open(out, 'w').write('1\\t1\\n')\ntime.sleep(30)\n");
    Relist();
    ModuleItem("slow").trigger();
    EXPECT_TRUE(Form().Job().Running());
    EXPECT_FALSE(AutoDetect().isEnabled());
    auto &panel = *Form().findChild<TProgressPanel *>("ProgressPanel");
    ASSERT_TRUE(RunEventsUntil([&] { return panel.isVisible(); }));
    EXPECT_EQ(panel.findChild<QProgressBar *>()->maximum(), 0);
    // The window goes on: a group can be added meanwhile.
    Form().AddGroupRow("more", clBlue, 0, 0);
    panel.findChild<QPushButton *>("ButtonCancelJob")->click();
    ASSERT_TRUE(RunEventsUntil([&] { return !Form().Job().Running(); }));
    EXPECT_EQ(Form().StatusText(2), "Detection cancelled: no marks were added.");
    EXPECT_EQ(Graph().Objects().Count(), 0);
    EXPECT_TRUE(AutoDetect().isEnabled());
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(Notices().isEmpty());
}

TEST_F(Detection, DropsProposalsForAPictureOrGroupNoLongerThere)
{
    Module("late.py", "time.sleep(1)\nopen(out, 'w').write('5\\t5\\n')\n");
    Relist();
    ModuleItem("late").trigger();
    // Commands wait for the detection; the window's own replacement does not.
    QImage other(400, 300, QImage::Format_RGB32);
    other.fill(Qt::white);
    ASSERT_TRUE(Form().ReplaceImage(fDir.file("other.png"), other));
    Form().Job().Wait();
    EXPECT_EQ(Form().StatusText(2),
              "The picture changed during the detection: no marks were added.");
    EXPECT_EQ(Graph().Objects().Count(), 0);

    Relist();
    ModuleItem("late").trigger();
    fPrompter.PushAnswer(true);
    Form().ButtonRemoveGroupClick();
    Form().Job().Wait();
    EXPECT_EQ(Form().StatusText(2),
              "The group was deleted during the detection: no marks were added.");
    EXPECT_EQ(Graph().Objects().Count(), 0);

    // Closing the window stops a detection still running.
    Module("slow.py", "time.sleep(30)\nopen(out, 'w').write('5\\t5\\n')\n");
    Relist();
    ModuleItem("slow").trigger();
    fPrompter.PushAnswer(true);
    QElapsedTimer clock;
    clock.start();
    Form().close();
    EXPECT_FALSE(Form().Job().Running());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(Graph().Objects().Count(), 0);
}

TEST_F(Detection, TakesItsSettingsFromTheDialogOnOk)
{
    OpenCells();
    const auto fill = [](TObjectPolarity polarity, int sensitivity) {
        return [=](QDialog &dialog) {
            auto &settings = dynamic_cast<TFormDetectSettings &>(dialog);
            settings.SetPolarity(polarity);
            settings.SpinEditSensitivity().setValue(sensitivity);
        };
    };
    fPrompter.PushDialog(mrOk, fill(opBright, 80));
    fPrompter.PushDialog(mrCancel, fill(opDark, 10));
    QAction &settings = *Form().findChild<QAction *>("Detectionsettings1");
    settings.trigger();
    settings.trigger();
    EXPECT_EQ(Form().DetectPolarity(), opBright);
    EXPECT_EQ(Form().DetectSensitivity(), 80);
    EXPECT_EQ(Form().DetectSettings().Polarity(), opDark);

    // Bright objects in a picture of dark cells: the cells are not what is found.
    List().Select(1);
    Detect();
    EXPECT_LT(MatchCentres(fCells.Centres, Centres(fB), fCells.Radius / 2).Hits, 15);
}

} // namespace
} // namespace talivo::test
