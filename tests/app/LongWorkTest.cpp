#include "app/ProgressPanel.h"
#include "tests/app/KeepWork.h"

#include <QAction>
#include <QBuffer>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talivo::test {
namespace {

// A named pipe standing in for a file that arrives slowly: what the program reads from it is
// only what the test has written so far, so a load is still under way wherever the test looks.
class TPipe {
public:
    explicit TPipe(const QString &path) : fPath(path.toLocal8Bit())
    {
        EXPECT_EQ(mkfifo(fPath.constData(), 0600), 0);
    }
    ~TPipe() { Close(); }
    TPipe(const TPipe &) = delete;
    TPipe &operator=(const TPipe &) = delete;

    // Opens the writing end as soon as the program has opened the reading end.
    bool Open()
    {
        RunEventsUntil([this] {
            if (fFile < 0)
                fFile = open(fPath.constData(), O_WRONLY | O_NONBLOCK);
            return fFile >= 0;
        });
        return fFile >= 0 && fcntl(fFile, F_SETFL, 0) == 0;
    }
    // Waits while the pipe is full until the program has read enough.
    void Write(const QByteArray &bytes)
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t written = write(fFile, bytes.constData() + done, bytes.size() - done);
            ASSERT_TRUE(written > 0 || errno == EINTR);
            done += std::max<ssize_t>(written, 0);
        }
    }
    // The program reads the end of the file.
    void Close()
    {
        if (fFile >= 0)
            close(fFile);
        fFile = -1;
    }

private:
    QByteArray fPath;
    int fFile = -1;
};

class LongWork : public KeepWork {
protected:
    TProgressPanel &Panel() { return *Form().findChild<TProgressPanel *>("ProgressPanel"); }
    void PressEscape()
    {
        QApplication::setActiveWindow(&Form());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&Form(), &escape);
    }
    bool Enabled(const char *command) { return Form().findChild<QAction *>(command)->isEnabled(); }
    // A picture of noise, which no encoder makes much smaller, as a PNG file's bytes.
    static QByteArray NoisePng(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < height; ++y)
            random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), width);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "png");
        return bytes;
    }
    // Marks enough for a file of several hundred kilobytes, whose reading and writing report
    // their progress a few times.
    void AddManyMarks(int groupId)
    {
        Graph().BeginUpdate();
        for (int i = 0; i < 5000; ++i)
            Form().AddMark(10 + i % 380, 10 + i / 380 * 20, 8, groupId);
        Graph().EndUpdate();
    }
    // The lines of the snapshot that differ from the one before, side by side; empty when none.
    static QStringList Changes(const QStringList &before, const QStringList &after)
    {
        QStringList changes;
        for (qsizetype i = 0; i < std::max(before.size(), after.size()); ++i) {
            const QString was = before.value(i, "-"), is = after.value(i, "-");
            if (was != is)
                changes << was + " => " + is;
        }
        return changes;
    }
    // What the window looked like at the first moment its events ran during a measurement job.
    struct TDuringJob {
        bool Seen = false;
        bool OnThisThread = false;
        bool ClientArea = true;
        bool Menus = true;
        bool CancelButton = false;
    };
    // Records the window at the job's first report, then presses Cancel there.
    void CancelAtFirstReport(TDuringJob &seen)
    {
        QTimer::singleShot(0, &Form(), [this, &seen] {
            seen = {.Seen = true,
                    .OnThisThread = Form().Job().OnThisThread(),
                    .ClientArea = Form().centralWidget()->isEnabled(),
                    .Menus = Form().menuBar()->isEnabled(),
                    .CancelButton =
                        Panel().findChild<QPushButton *>("ButtonCancelJob")->isEnabled()};
            PressEscape();
        });
    }
};

TEST_F(LongWork, APictureLoadsWhileTheWindowGoesOnAndACancelChangesNothing)
{
    const int id = StartCounting();
    Slider("TrackBarZoom").setValue(-50);
    Slider("TrackBarPointSize").setValue(33);
    const QStringList before = Snapshot();
    const QByteArray png = NoisePng(600, 500);
    TPipe pipe(fDir.file("slow.png"));

    fPrompter.PushFile(fDir.file("slow.png"));
    Form().Openimage1Click();
    ASSERT_TRUE(pipe.Open());
    pipe.Write(png.left(png.size() / 3));
    bool fired = false;
    QTimer::singleShot(10, &Form(), [&] { fired = true; });
    ASSERT_TRUE(RunEventsUntil([&] { return fired && Panel().isVisible(); }));
    ASSERT_TRUE(Form().Job().Running());
    // A pipe has no size to measure the progress against.
    EXPECT_EQ(Panel().findChild<QProgressBar *>()->maximum(), 0);
    for (const char *command : {"Openimage1", "Saveimage1", "Openmeasurement1", "Savemeasurement1"})
        EXPECT_FALSE(Enabled(command)) << command;
    EXPECT_FALSE(Graph().isEnabled());
    // The window answers meanwhile, but a second picture waits for the first.
    Form().AddGroupRow("more", clBlue, 0, 0);
    ASSERT_EQ(Groups().RowCount(), 2);
    Form().FilesDropped({fDir.file("open1.png")});
    EXPECT_EQ(Notices(),
              QStringList({"Please wait until the running work has finished, or cancel it."}));
    List().Select(1);
    fPrompter.PushAnswer(true);
    Form().ButtonRemoveGroupClick();
    List().Select(0);
    EXPECT_EQ(Snapshot(), before);

    PressEscape();
    // The reader waits for the rest of the file, which never comes.
    pipe.Close();
    ASSERT_TRUE(RunEventsUntil([&] { return !Form().Job().Running(); }));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Texts(id), QStringList({"#1", "#2"}));
    EXPECT_EQ(Form().StatusText(2), "Opening the picture was cancelled: nothing was changed.");
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_TRUE(Graph().isEnabled());
    for (const char *command : {"Openimage1", "Saveimage1", "Openmeasurement1", "Savemeasurement1"})
        EXPECT_TRUE(Enabled(command)) << command;

    // Loaded to its end, the picture takes the marks' place once the user agrees.
    fPrompter.PushAnswer(true);
    Form().FilesDropped({fDir.file("slow.png")});
    ASSERT_TRUE(pipe.Open());
    pipe.Write(png);
    pipe.Close();
    ASSERT_TRUE(RunEventsUntil([&] { return !Form().Job().Running(); }));
    EXPECT_EQ(fPrompter.Asked().back().Text,
              "There are unsaved changes. Do you really want to discard the changes?");
    EXPECT_EQ(Graph().Background().Image().size(), QSize(600, 500));
    EXPECT_EQ(Graph().Objects().Count(), 0);
    EXPECT_EQ(Counts(), QStringList({"0"}));
    EXPECT_EQ(Form().StatusText(1), "slow.png");
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

TEST_F(LongWork, ACancelledImageSaveLeavesTheOldFile)
{
    Write(fDir.file("noise.png"), NoisePng(2000, 2000));
    fPrompter.PushFile(fDir.file("noise.png"));
    Form().Openimage1Click();
    Finish();
    Form().AddMark(100, 100, 20, AddGroup(clRed));
    // Qt's PNG writer keeps its table of rows when stopped half way, which the sanitizer run
    // would report.
    const QString file = fDir.file("marks.bmp");
    Write(file, "previous");

    fPrompter.PushFile(file);
    fPrompter.PushAnswer(true);
    Form().Saveimage1Click();
    ASSERT_TRUE(Form().Job().Running());
    Panel().findChild<QPushButton *>("ButtonCancelJob")->click();
    ASSERT_TRUE(RunEventsUntil([&] { return !Form().Job().Running(); }));
    EXPECT_EQ(Read(file), "previous");
    EXPECT_EQ(QDir(fDir.path()).entryList({"marks*"}, QDir::Files | QDir::Hidden),
              QStringList({"marks.bmp"}));
    EXPECT_EQ(Form().StatusText(2), "Saving the picture was cancelled: the file was not written.");
    EXPECT_TRUE(Form().Unsaved());
}

TEST_F(LongWork, AMeasurementIsReadAndWrittenWithTheWindowOutOfReachUntilCancelled)
{
    const int id = StartCounting();
    AddManyMarks(id);
    const QString file = fDir.file("many.tlv");
    SaveMeasurement(file);
    const QByteArray saved = Read(file);
    // One more mark, below the others: unsaved work.
    Click({300, 292});
    ASSERT_TRUE(Form().Unsaved());
    const QStringList before = Snapshot();

    // Saving over the file stops with Escape and leaves it as it was.
    TDuringJob seen;
    CancelAtFirstReport(seen);
    fPrompter.PushFile(file);
    fPrompter.PushAnswer(true);
    Form().Savemeasurement1Click();
    EXPECT_TRUE(seen.Seen);
    EXPECT_TRUE(seen.OnThisThread);
    EXPECT_FALSE(seen.ClientArea);
    EXPECT_FALSE(seen.Menus);
    EXPECT_TRUE(seen.CancelButton);
    EXPECT_EQ(Read(file), saved);
    EXPECT_EQ(QDir(fDir.path()).entryList({"many*"}, QDir::Files | QDir::Hidden),
              QStringList({"many.tlv"}));
    EXPECT_EQ(Form().StatusText(2),
              "Saving the measurement was cancelled: the file was not written.");
    EXPECT_EQ(Changes(before, Snapshot()).join("\n").toStdString(), "");
    EXPECT_TRUE(Form().centralWidget()->isEnabled());

    // So does opening it.
    seen = {};
    CancelAtFirstReport(seen);
    fPrompter.PushAnswer(true);
    OpenMeasurement(file);
    EXPECT_TRUE(seen.Seen);
    EXPECT_FALSE(seen.ClientArea);
    EXPECT_EQ(Form().StatusText(2), "Opening the measurement was cancelled: nothing was changed.");
    EXPECT_EQ(Changes(before, Snapshot()).join("\n").toStdString(), "");
    EXPECT_TRUE(Form().menuBar()->isEnabled());

    fPrompter.PushAnswer(true);
    OpenMeasurement(file);
    EXPECT_EQ(Graph().Objects().Count(), 5002);
    EXPECT_EQ(Counts(), QStringList({"5002"}));
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

} // namespace
} // namespace talivo::test
