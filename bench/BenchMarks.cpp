#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/Measurement.h"
#include "graph/control/GraphControl.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

namespace {

using namespace talivo;

constexpr int kImageSide = 10000;
constexpr int kColumns = 320;
constexpr int kRows = 313;
constexpr int kSpacing = 31;
constexpr int kRadius = 10;
// The rubber band covers this many columns and rows of marks: 10,000 of them.
constexpr int kBandCells = 100;

constexpr TPoint GridPoint(int column, int row)
{
    return {15 + kSpacing * column, 15 + kSpacing * row};
}

// One window with a 10,000 by 10,000 picture and about 100,000 marks, placed in random order as
// a user would click them, kept for the whole process (see EnsureApplication).
class TWorkspace {
public:
    TWorkspace() : fFolders(fDir.path(), fDir.path() + "/Talivo")
    {
        Install(&fFolders);
        Install(&fPrompter);
        fForm.SetGroupSettings(&fDialog);
        fForm.resize(1400, 1100);
        fForm.show();
        fForm.TimerStartTimer();
        QApplication::processEvents();

        const QString picture = fDir.path() + "/picture.png";
        QImage image(kImageSide, kImageSide, QImage::Format_Grayscale8);
        image.fill(128);
        QImageWriter writer(picture, "png");
        writer.setQuality(100);
        writer.write(image);
        fPrompter.PushFile(picture);
        fForm.Openimage1Click();
        fForm.Job().Wait();

        for (TColor color : {0x0000FF00u, 0x000000FFu, 0x00FF0000u})
            fForm.AddGroupRow("group", color, 0, 0);
        Slider("TrackBarPointSize").setValue(kRadius);
        std::vector<TPoint> points;
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column)
                points.push_back(GridPoint(column, row));
        std::shuffle(points.begin(), points.end(), std::mt19937(1));
        Graph().BeginUpdate();
        for (size_t i = 0; i < points.size(); ++i)
            fForm.AddMark(points[i].X, points[i].Y, kRadius, GroupId(int(i % 3)));
        Graph().EndUpdate();
        fForm.Measurement().StartHistory(false);
        // A quarter of the picture in view: the band's corners land on exact pixels.
        Slider("TrackBarZoom").setValue(-60);
        Graph().HorzScrollBar().SetPosition(0);
        Graph().VertScrollBar().SetPosition(0);
        QApplication::processEvents();
    }

    TFormMain &Form() { return fForm; }
    TScriptedPrompter &Prompter() { return fPrompter; }
    QString File(const QString &name) const { return fDir.path() + '/' + name; }
    TGraphControl &Graph() { return *fForm.Graph(); }
    QSlider &Slider(const char *name) { return *fForm.findChild<QSlider *>(name); }
    int GroupId(int row) { return fForm.Groups().Id(row); }
    void Press(const char *tool) { fForm.findChild<QToolButton *>(tool)->click(); }

    void Mouse(QEvent::Type type, TPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const TPoint client = Graph().GraphToClient(at.X, at.Y);
        const QPointF local(client.X, client.Y);
        QMouseEvent event(type, local, Graph().viewport()->mapToGlobal(local), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(Graph().viewport(), &event);
    }

    void Click(TPoint at)
    {
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }

    void Key(int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&Graph(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(&Graph(), &release);
    }

    // Every mark selected, in list order (the random order in which they were clicked), as a
    // rubber band over the whole picture leaves them.
    void SelectAll()
    {
        Graph().ToggleSelection({0, 0, kImageSide, kImageSide}, false);
        QApplication::processEvents();
    }

    // No selection and the view at its start, as the other benchmarks expect.
    void Settle()
    {
        Graph().ClearSelection();
        Graph().HorzScrollBar().SetPosition(0);
        Graph().VertScrollBar().SetPosition(0);
        QApplication::processEvents();
    }

    // Takes the last step back, or again, from the Edit menu.
    void StepHistory(bool back) { fForm.findChild<QAction *>(back ? "Undo1" : "Redo1")->trigger(); }

    // Deletes the marks behind the first Count ones, which the benchmark added.
    void TrimTo(int32_t count)
    {
        TGraphObjectList &objects = Graph().Objects();
        while (objects.Count() > count)
            TGraphObject::Delete(objects[objects.Count() - 1]);
        fForm.RecountMarks();
    }

private:
    QTemporaryDir fDir;
    TFixedFolders fFolders;
    TScriptedPrompter fPrompter;
    TFormMain fForm;
    TFormGroupSettings fDialog{&fForm};
};

TWorkspace &Workspace()
{
    if (!QApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "BenchMarks";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    // Destroyed among the static objects, after Qt's own, the window would crash.
    static TWorkspace *workspace = new TWorkspace;
    return *workspace;
}

void BM_AddMark(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    const int32_t before = workspace.Graph().Objects().Count();
    int i = 0;
    for (auto _ : state) {
        // Between the marks of the grid, so no two share a place.
        workspace.Form().AddMark(30 + kSpacing * (i % kColumns), 30 + kSpacing * (i / kColumns),
                                 kRadius, workspace.GroupId(0));
        ++i;
    }
    state.counters["marks"] = before;
    workspace.TrimTo(before);
}
BENCHMARK(BM_AddMark)->Unit(benchmark::kMicrosecond);

// Clicks of a user in "Add mark" between the marks, one an iteration, the canvas's own press and
// release first; the marks they add leave again afterwards.
void ClickToAddMarks(benchmark::State &state, TWorkspace &workspace)
{
    workspace.Press("ToolButtonAdd");
    const int32_t before = workspace.Graph().Objects().Count();
    int i = 0;
    for (auto _ : state) {
        const TPoint at{30 + kSpacing * (i % 80), 30 + kSpacing * (i / 80 % 80)};
        workspace.Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        workspace.Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        ++i;
    }
    state.counters["added"] = workspace.Graph().Objects().Count() - before;
    workspace.TrimTo(before);
}

void BM_ClickToAddMark(benchmark::State &state)
{
    ClickToAddMarks(state, Workspace());
}
BENCHMARK(BM_ClickToAddMark)->Unit(benchmark::kMicrosecond)->Iterations(500);

// The same click for the last of many groups: finding the group and raising its count must not
// walk the table. The groups added here leave again.
void BM_ClickToAddMarkAmongManyGroups(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    TGroupTableModel &groups = workspace.Form().Groups();
    const int rowsBefore = groups.RowCount();
    const int selectedBefore = workspace.Form().ListViewGroups().Selected();
    for (int64_t i = rowsBefore; i < state.range(0); ++i)
        workspace.Form().AddGroupRow("group", 0x00FFFF00u, 0, 0);
    state.counters["groups"] = groups.RowCount();
    ClickToAddMarks(state, workspace);
    while (groups.RowCount() > rowsBefore)
        groups.Remove(groups.RowCount() - 1);
    workspace.Form().ListViewGroups().Select(selectedBefore);
}
BENCHMARK(BM_ClickToAddMarkAmongManyGroups)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(500);

void BM_DeleteWithOneRubberBand(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonDel");
    const TPoint corner{kSpacing * kBandCells - 1, kSpacing * kBandCells - 1};
    int32_t deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int32_t before = workspace.Graph().Objects().Count();
        state.ResumeTiming();
        workspace.Mouse(QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton, Qt::LeftButton);
        workspace.Mouse(QEvent::MouseMove, corner, Qt::NoButton, Qt::LeftButton);
        workspace.Mouse(QEvent::MouseButtonRelease, corner, Qt::LeftButton, Qt::NoButton);
        state.PauseTiming();
        deleted = before - workspace.Graph().Objects().Count();
        for (int row = 0; row < kBandCells; ++row)
            for (int column = 0; column < kBandCells; ++column) {
                const TPoint at = GridPoint(column, row);
                workspace.Form().AddMark(at.X, at.Y, kRadius, workspace.GroupId(row % 3));
            }
        state.ResumeTiming();
    }
    state.counters["deleted"] = deleted;
    state.counters["marks"] = workspace.Graph().Objects().Count();
}
BENCHMARK(BM_DeleteWithOneRubberBand)->Unit(benchmark::kMillisecond)->Iterations(5);

// "Auto detect" adding its proposals to a picture that holds 100,000 marks already: range(0)
// proposals between the marks, each added, and as many onto marks, each left out.
void BM_AddProposedMarks(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    const int32_t before = workspace.Graph().Objects().Count();
    const int count = int(state.range(0));
    std::vector<TPoint> points;
    for (int i = 0; i < count; ++i) {
        const int column = i % (kColumns - 1), row = i / (kColumns - 1) % (kRows - 1);
        points.push_back({30 + kSpacing * column, 30 + kSpacing * row});
        points.push_back(GridPoint(column, row));
    }
    int added = 0;
    for (auto _ : state) {
        added = workspace.Form().AddProposedMarks(points, workspace.GroupId(0));
        state.PauseTiming();
        workspace.TrimTo(before);
        state.ResumeTiming();
    }
    state.counters["marks"] = before;
    state.counters["added"] = added;
    if (!points.empty())
        state.counters["per_proposal_us"] = benchmark::Counter(
            double(points.size()) * state.iterations(),
            benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_AddProposedMarks)->Arg(0)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

// Counts the canvas's repaints: the slider must repaint once, not once per mark.
class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

// The workspace's marks saved once, for the benchmarks that open them; the save leaves nothing
// unsaved, so opening asks nothing.
QString SavedMeasurement(TWorkspace &workspace)
{
    const QString file = workspace.File("marks.tlv");
    QFile::remove(file);
    workspace.Prompter().PushFile(file);
    workspace.Form().Savemeasurement1Click();
    return file;
}

// "Open measurement ...": the file is read and checked whole on a canvas of its own, whose marks
// then replace the document's.
void BM_OpenMeasurement(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    const QString file = SavedMeasurement(workspace);
    for (auto _ : state) {
        workspace.Prompter().PushFile(file);
        workspace.Form().Openmeasurement1Click();
    }
    state.counters["marks"] = workspace.Graph().Objects().Count();
}
BENCHMARK(BM_OpenMeasurement)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same file read straight into the window's canvas and table, the way opening worked before
// it read the file first: the cost that checking it first is measured against.
void BM_OpenMeasurementInPlace(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    const QString file = SavedMeasurement(workspace);
    TFormMain &form = workspace.Form();
    for (auto _ : state) {
        workspace.Graph().Clear();
        form.Groups().Clear();
        ReadMeasurement(workspace.Graph().Document(), file, [&](const TGroupRecord &group) {
            form.AddGroupRow(group.Description, group.Color, group.Id, group.Count);
        });
        form.TrackBarPointSizeChange();
    }
    state.counters["marks"] = workspace.Graph().Objects().Count();
}
BENCHMARK(BM_OpenMeasurementInPlace)->Unit(benchmark::kMillisecond)->Iterations(5);

// One arrow key on one selected mark among all the others: it moves the mark by a pixel and
// marks the work unsaved.
void BM_ArrowKeyMovesAMark(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    workspace.Graph().ClearSelection();
    workspace.Graph().Objects()[0]->SetSelected(true);
    int i = 0;
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, i++ % 2 ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(&workspace.Graph(), &key);
    }
    workspace.Graph().ClearSelection();
    state.counters["marks"] = workspace.Graph().Objects().Count();
    state.counters["unsaved"] = workspace.Form().Unsaved();
}
BENCHMARK(BM_ArrowKeyMovesAMark)->Unit(benchmark::kMicrosecond);

// One step of dragging a mark in "Move mark" with the mouse.
void BM_DragStepMovesAMark(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    const TPoint from = GridPoint(5, 5);
    workspace.Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        // Four graph units are one client pixel at the workspace's zoom.
        const TPoint to{from.X + (i++ % 2 ? 0 : 4), from.Y};
        workspace.Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    }
    workspace.Mouse(QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
    state.counters["marks"] = workspace.Graph().Objects().Count();
    state.counters["unsaved"] = workspace.Form().Unsaved();
}
BENCHMARK(BM_DragStepMovesAMark)->Unit(benchmark::kMicrosecond);

// "repaint_ms" of the benchmarks below is the processor time of the repaint an operation causes,
// which their time includes.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

class TRepaintClock {
public:
    explicit TRepaintClock(benchmark::State &state) : fState(state) {}
    ~TRepaintClock()
    {
        fState.counters["repaint_ms"] =
            benchmark::Counter(fSeconds * 1000, benchmark::Counter::kAvgIterations);
    }

    // In processor time of the thread, like the benchmark's own CPU figure, since the machine
    // may be shared.
    void Repaint()
    {
        const double start = ThreadSeconds();
        QApplication::processEvents();
        fSeconds += ThreadSeconds() - start;
    }

private:
    benchmark::State &fState;
    double fSeconds = 0;
};

void BM_PointSizeChange(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    TPaintCounter counter;
    workspace.Graph().viewport()->installEventFilter(&counter);
    TRepaintClock clock(state);
    int changes = 0;
    for (auto _ : state) {
        workspace.Slider("TrackBarPointSize").setValue(changes % 2 ? kRadius : kRadius + 1);
        clock.Repaint();
        ++changes;
    }
    workspace.Graph().viewport()->removeEventFilter(&counter);
    workspace.Slider("TrackBarPointSize").setValue(kRadius);
    state.counters["paints_per_change"] = double(counter.Paints) / changes;
    state.counters["marks"] = workspace.Graph().Objects().Count();
}
BENCHMARK(BM_PointSizeChange)->Unit(benchmark::kMillisecond)->Iterations(5);

// The selection benchmarks: every operation below changes the selection state of all 100,160
// marks at once, and each is timed together with the repaint it causes.
constexpr TPoint kEmptySpot{0, 0};
constexpr TPoint kDraggedMark = GridPoint(50, 40);

void BM_SelectAllByBand(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    const TPoint corner{kImageSide - 1, kImageSide - 1};
    TRepaintClock clock(state);
    for (auto _ : state) {
        workspace.Mouse(QEvent::MouseButtonPress, kEmptySpot, Qt::LeftButton, Qt::LeftButton);
        workspace.Mouse(QEvent::MouseMove, corner, Qt::NoButton, Qt::LeftButton);
        workspace.Mouse(QEvent::MouseButtonRelease, corner, Qt::LeftButton, Qt::NoButton);
        clock.Repaint();
        state.PauseTiming();
        state.counters["selected"] = workspace.Graph().SelectedObjects().Count();
        workspace.Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAllByBand)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ClearSelectionByClick(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    TRepaintClock clock(state);
    for (auto _ : state) {
        state.PauseTiming();
        workspace.SelectAll();
        state.counters["deselected"] = workspace.Graph().SelectedObjects().Count();
        state.ResumeTiming();
        workspace.Click(kEmptySpot);
        clock.Repaint();
    }
    workspace.Settle();
}
BENCHMARK(BM_ClearSelectionByClick)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TabWithAllSelected(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    TRepaintClock clock(state);
    for (auto _ : state) {
        state.PauseTiming();
        workspace.Settle();
        workspace.SelectAll();
        state.ResumeTiming();
        workspace.Key(Qt::Key_Tab);
        clock.Repaint();
    }
    state.counters["selected_after"] = workspace.Graph().SelectedObjects().Count();
    workspace.Settle();
}
BENCHMARK(BM_TabWithAllSelected)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StartDragWithAllSelected(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    TRepaintClock clock(state);
    for (auto _ : state) {
        state.PauseTiming();
        workspace.SelectAll();
        state.ResumeTiming();
        workspace.Mouse(QEvent::MouseButtonPress, kDraggedMark, Qt::LeftButton, Qt::LeftButton);
        clock.Repaint();
        state.PauseTiming();
        state.counters["dragged"] = workspace.Graph().DraggingObjects().Count();
        workspace.Mouse(QEvent::MouseButtonRelease, kDraggedMark, Qt::LeftButton, Qt::NoButton);
        workspace.Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartDragWithAllSelected)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr TPoint kDraggedMarkMoved{kDraggedMark.X + 40, kDraggedMark.Y};

// Presses the mark at From and drags every selected mark with it to To.
void PressAndDragAll(TWorkspace &workspace, TPoint from, TPoint to)
{
    workspace.Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    workspace.Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    QApplication::processEvents();
}

void BM_EndDragWithAllSelected(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    TRepaintClock clock(state);
    // Away and back in turns: after an even number of drags the marks are where they began.
    bool away = true;
    for (auto _ : state) {
        state.PauseTiming();
        workspace.SelectAll();
        const TPoint from = away ? kDraggedMark : kDraggedMarkMoved;
        const TPoint to = away ? kDraggedMarkMoved : kDraggedMark;
        away = !away;
        PressAndDragAll(workspace, from, to);
        state.ResumeTiming();
        workspace.Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        clock.Repaint();
    }
    workspace.Settle();
}
BENCHMARK(BM_EndDragWithAllSelected)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_CancelDragWithAllSelected(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    TRepaintClock clock(state);
    for (auto _ : state) {
        state.PauseTiming();
        workspace.SelectAll();
        PressAndDragAll(workspace, kDraggedMark, kDraggedMarkMoved);
        state.ResumeTiming();
        workspace.Key(Qt::Key_Escape);
        clock.Repaint();
        state.PauseTiming();
        workspace.Mouse(QEvent::MouseButtonRelease, kDraggedMarkMoved, Qt::LeftButton,
                        Qt::NoButton);
        workspace.Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CancelDragWithAllSelected)->Unit(benchmark::kMillisecond)->Iterations(3);

// Taking a step back (range(0) 0) or doing it again (1), the repaint included, after Take has
// taken it. Each iteration takes it back and does it again, and the step ends taken back.
void StepBackAndForth(benchmark::State &state, TWorkspace &workspace,
                      const std::function<void()> &take)
{
    take();
    QApplication::processEvents();
    const bool back = state.range(0) == 0;
    TRepaintClock clock(state);
    for (auto _ : state) {
        if (!back) {
            state.PauseTiming();
            workspace.StepHistory(true);
            QApplication::processEvents();
            state.ResumeTiming();
        }
        workspace.StepHistory(back);
        clock.Repaint();
        if (back) {
            state.PauseTiming();
            workspace.StepHistory(false);
            QApplication::processEvents();
            state.ResumeTiming();
        }
    }
    workspace.StepHistory(true);
    state.counters["marks"] = workspace.Graph().Objects().Count();
    workspace.Settle();
}

void BM_UndoRedoAddMark(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    StepBackAndForth(state, workspace,
                     [&] { workspace.Form().AddMark(30, 30, kRadius, workspace.GroupId(0)); });
}
BENCHMARK(BM_UndoRedoAddMark)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One mark in the middle of its group: the marks behind it change their numbers.
void BM_UndoRedoDeleteOneMark(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonDel");
    StepBackAndForth(state, workspace, [&] { workspace.Click(GridPoint(160, 156)); });
}
BENCHMARK(BM_UndoRedoDeleteOneMark)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_UndoRedoDeleteWithOneRubberBand(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonDel");
    const TPoint corner{kSpacing * kBandCells - 1, kSpacing * kBandCells - 1};
    StepBackAndForth(state, workspace, [&] {
        workspace.Mouse(QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton, Qt::LeftButton);
        workspace.Mouse(QEvent::MouseMove, corner, Qt::NoButton, Qt::LeftButton);
        workspace.Mouse(QEvent::MouseButtonRelease, corner, Qt::LeftButton, Qt::NoButton);
    });
}
BENCHMARK(BM_UndoRedoDeleteWithOneRubberBand)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

void BM_UndoRedoDragWithAllSelected(benchmark::State &state)
{
    TWorkspace &workspace = Workspace();
    workspace.Press("ToolButtonMove");
    StepBackAndForth(state, workspace, [&] {
        workspace.SelectAll();
        PressAndDragAll(workspace, kDraggedMark, kDraggedMarkMoved);
        workspace.Mouse(QEvent::MouseButtonRelease, kDraggedMarkMoved, Qt::LeftButton,
                        Qt::NoButton);
    });
}
BENCHMARK(BM_UndoRedoDragWithAllSelected)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

} // namespace
