#include "app/RecoveryFile.h"
#include "tests/app/KeepWork.h"

#include <QAction>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <map>

namespace talivo::test {
namespace {

const QString kCaption = "Restore work";

// The window's work kept in the settings folder for a start after a crash. A crash is the window
// going away without being closed.
class Recovery : public KeepWork {
protected:
    static QString Folder() { return GetSettingsFolder(); }
    static QString Info() { return Folder() + "Recovery.ini"; }
    static bool Kept() { return QFileInfo::exists(Info()); }
    QTimer &Timer() { return *Form().findChild<QTimer *>("TimerRecovery"); }

    // Every file of the kept work, by name.
    static std::map<QString, QByteArray> KeptFiles()
    {
        std::map<QString, QByteArray> files;
        for (const QFileInfo &file :
             QDir(Folder()).entryInfoList({"Recovery.ini", "Recovery?.tlv"}, QDir::Files))
            files[file.fileName()] = Read(file.filePath());
        return files;
    }
    static void PutBack(const std::map<QString, QByteArray> &files)
    {
        for (const auto &[name, bytes] : files)
            Write(Folder() + name, bytes);
    }
    // The marks and groups kept, as the next start would read them.
    static TMeasurementContent KeptContent()
    {
        const TRecoveryFile recovery(Folder());
        return recovery.ReadMeasurement(recovery.Read());
    }
    static int KeptMarks() { return KeptContent().Marks->Objects().Count(); }

    // The next start after a crash, with the answer to its question.
    void RestartAnswering(bool yes)
    {
        Restart();
        fPrompter.PushAnswer(yes);
        Form();
        Finish();
    }
    const TPromptRecord &LastAsked() { return fPrompter.Asked().back(); }
    QString Picture() { return QFileInfo(fDir.file("open1.png")).canonicalFilePath(); }
};

TEST_F(Recovery, AChangeKeepsTheWorkOnceTheIntervalHasPassed)
{
    StartCounting();
    EXPECT_TRUE(Timer().isActive());
    EXPECT_TRUE(Timer().isSingleShot());
    EXPECT_EQ(Timer().interval(), 30000);
    EXPECT_FALSE(Kept());

    Timer().setInterval(1);
    ASSERT_TRUE(RunEventsUntil([] { return Kept(); }));
    EXPECT_FALSE(Timer().isActive());
    const TRecoveryInfo info = TRecoveryFile(Folder()).Read();
    EXPECT_EQ(info.PictureFileName, Picture());
    EXPECT_LE(qAbs(info.Written.secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_EQ(KeptMarks(), 2);

    // The next change starts the interval anew; one while it runs does not put the write off.
    Timer().setInterval(60000);
    Click({300, 200});
    ASSERT_TRUE(Timer().isActive());
    const int remaining = Timer().remainingTime();
    QThread::msleep(20);
    Click({320, 220});
    EXPECT_LT(Timer().remainingTime(), remaining);
    Form().TimerRecoveryTimer();
    EXPECT_EQ(KeptMarks(), 4);
    // One measurement file: the one the description names.
    EXPECT_EQ(KeptFiles().size(), 2u);
}

TEST_F(Recovery, TheWriteWaitsForAPauseInTheWorkButNotForLong)
{
    qputenv("TALIVO_RECOVERY_SECONDS", "1");
    Restart();
    Form();
    qunsetenv("TALIVO_RECOVERY_SECONDS");
    StartCounting();
    // Due right after a change: put off until a second has passed without one.
    Form().RecoveryDue();
    EXPECT_FALSE(Kept());
    EXPECT_TRUE(Timer().isActive());
    QThread::msleep(1100);
    Form().RecoveryDue();
    ASSERT_TRUE(Kept());
    ASSERT_EQ(KeptMarks(), 2);

    // Steady work is kept all the same once its first change not kept is two intervals old.
    QElapsedTimer pending;
    pending.start();
    int marks = 2;
    while (KeptMarks() == 2) {
        ASSERT_LT(pending.elapsed(), 10000);
        if (marks > 2)
            QThread::msleep(300);
        Click({40 + 40 * (marks - 2), 250});
        ++marks;
        const qint64 age = pending.elapsed();
        Form().RecoveryDue();
        if (age < 1500) {
            EXPECT_EQ(KeptMarks(), 2) << "kept " << age << " ms after the first change";
        }
    }
    EXPECT_GE(pending.elapsed(), 2000);
    EXPECT_EQ(KeptMarks(), marks);
}

TEST_F(Recovery, AWriteDuringASaveWaitsUntilTheSaveHasEnded)
{
    const int id = StartCounting();
    // Enough for the save to report while it writes.
    for (int i = 0; i < 2000; ++i)
        Form().AddMark(10 + i % 40 * 9, 10 + i / 40 * 5, 4, id);
    Timer().setInterval(0);
    // Both come due at the save's first report: the interval, and a cancel, which leaves the
    // work unsaved.
    QTimer::singleShot(0, &Form(), [this] { Form().Job().Cancel(); });
    SaveMeasurement(fDir.file("cancelled.tlv"));
    ASSERT_FALSE(QFileInfo::exists(fDir.file("cancelled.tlv")));
    ASSERT_TRUE(Form().Unsaved());
    ASSERT_TRUE(RunEventsUntil([] { return Kept(); }));
    // Without the group records the save had put among the marks.
    TMeasurementContent content = KeptContent();
    EXPECT_EQ(content.Marks->Objects().Count(), 2002);
    ASSERT_EQ(content.Groups.size(), 1u);
    EXPECT_EQ(content.Groups[0].Id, id);
}

TEST_F(Recovery, NothingIsKeptWhileTheWorkIsSaved)
{
    StartCounting();
    SaveMeasurement(fDir.file("saved.tlv"));
    EXPECT_FALSE(Timer().isActive());
    Form().TimerRecoveryTimer();
    const QString notes = fDir.file("notes.png");
    Write(notes, "no picture");
    Form().FilesDropped({notes});
    Finish();
    EXPECT_FALSE(Kept());
    EXPECT_TRUE(KeptFiles().empty());
}

TEST_F(Recovery, ASaveRemovesTheKeptWork)
{
    StartCounting();
    Form().TimerRecoveryTimer();
    ASSERT_TRUE(Kept());
    SaveMeasurement(fDir.file("saved.tlv"));
    EXPECT_TRUE(KeptFiles().empty());
    EXPECT_FALSE(Timer().isActive());

    // A step taken back to where the work was saved leaves nothing to keep either.
    Click({300, 200});
    Form().TimerRecoveryTimer();
    ASSERT_TRUE(Kept());
    Form().findChild<QAction *>("Undo1")->trigger();
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_TRUE(KeptFiles().empty());
    EXPECT_FALSE(Timer().isActive());
    // And a step done again makes it unsaved, to be kept once more.
    Form().findChild<QAction *>("Redo1")->trigger();
    EXPECT_TRUE(Timer().isActive());
}

TEST_F(Recovery, OnlyAConfirmedCloseRemovesTheKeptWork)
{
    StartCounting();
    Form().TimerRecoveryTimer();
    const auto kept = KeptFiles();
    fPrompter.PushAnswer(false);
    EXPECT_FALSE(Form().close());
    EXPECT_EQ(KeptFiles(), kept);
    fPrompter.PushAnswer(true);
    EXPECT_TRUE(Form().close());
    EXPECT_TRUE(KeptFiles().empty());
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

TEST_F(Recovery, OpeningAnotherPictureOrMeasurementKeepsTheWorkFirst)
{
    const int id = StartCounting();
    const QString notes = fDir.file("notes.png");
    Write(notes, "no picture");
    Form().FilesDropped({notes});
    Finish();
    ASSERT_TRUE(Kept());
    EXPECT_EQ(KeptMarks(), 2);

    Click({300, 200});
    fPrompter.PushFile(notes);
    Form().Openimage1Click();
    Finish();
    EXPECT_EQ(KeptMarks(), 3);

    Click({320, 220});
    Write(fDir.file("foreign.tlv"), "[Group0]\r\n");
    fPrompter.PushAnswer(true);
    EXPECT_ANY_THROW(OpenMeasurement(fDir.file("foreign.tlv")));
    TMeasurementContent content = KeptContent();
    EXPECT_EQ(content.Marks->Objects().Count(), 4);
    ASSERT_EQ(content.Groups.size(), 1u);
    EXPECT_EQ(content.Groups[0].Id, id);
    EXPECT_EQ(content.Groups[0].Count, 4);
}

TEST_F(Recovery, YesRestoresThePictureMarksAndGroupsUnsaved)
{
    StartCounting();
    AddGroup(clRed);
    List().Select(1);
    Click({300, 200});
    Mark(0).SetVisible(false);
    const int pointSize = Slider("TrackBarPointSize").value();
    Form().TimerRecoveryTimer();
    const auto kept = KeptFiles();
    SaveMeasurement(fDir.file("before.tlv"));
    PutBack(kept);

    RestartAnswering(true);
    EXPECT_EQ(LastAsked().Kind, TPromptKind::pkYesNo);
    EXPECT_EQ(LastAsked().Caption, kCaption);
    const QString written =
        TRecoveryFile(Folder()).Read().Written.toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(LastAsked().Text.toStdString(),
              ("Talivo ended without saving the work on the picture \"" + Picture() +
               "\". The work was kept at " + written + ".\r\n\r\nDo you want to restore it?")
                  .toStdString());
    EXPECT_EQ(Graph().Background().Image().size(), QSize(400, 300));
    EXPECT_EQ(Form().StatusText(1), "open1.png");
    EXPECT_EQ(Graph().Objects().Count(), 3);
    EXPECT_EQ(Counts(), QStringList({"2", "1"}));
    // The marks keep their size, and the slider shows it, whatever size the new window fits.
    EXPECT_EQ(Slider("TrackBarPointSize").value(), pointSize);
    EXPECT_TRUE(Form().Unsaved());
    // Still unsaved, so still kept.
    EXPECT_TRUE(Kept());

    SaveMeasurement(fDir.file("after.tlv"));
    EXPECT_EQ(Read(fDir.file("after.tlv")).toHex().toStdString(),
              Read(fDir.file("before.tlv")).toHex().toStdString());
    EXPECT_FALSE(Kept());
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

TEST_F(Recovery, TheRestoredWorkTakesThePlaceOfAStartPicture)
{
    StartCounting();
    Form().TimerRecoveryTimer();
    Restart();
    QImage other(640, 480, QImage::Format_RGB32);
    other.fill(Qt::white);
    ASSERT_TRUE(other.save(fDir.file("other.png")));
    // Made as Form() makes it, but with the picture named before the start timer runs.
    fForm = std::make_unique<TFormMain>();
    fDialog = std::make_unique<TFormGroupSettings>(fForm.get());
    fForm->SetGroupSettings(fDialog.get());
    fForm->SetStartImage(fDir.file("other.png"));
    fForm->show();
    fPrompter.PushAnswer(true);
    fForm->TimerStartTimer();
    Finish();
    EXPECT_EQ(Form().StatusText(1), "open1.png");
    EXPECT_EQ(Graph().Objects().Count(), 2);
}

TEST_F(Recovery, NoDeletesTheKeptWork)
{
    StartCounting();
    Form().TimerRecoveryTimer();
    RestartAnswering(false);
    EXPECT_EQ(LastAsked().Caption, kCaption);
    EXPECT_TRUE(KeptFiles().empty());
    EXPECT_TRUE(Graph().Background().IsEmpty());
    EXPECT_FALSE(Form().Unsaved());
    // Asked no more.
    Restart();
    Form();
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

TEST_F(Recovery, AMissingPictureIsSaidAndTheWorkStaysForTheNextStart)
{
    StartCounting();
    Form().TimerRecoveryTimer();
    const QString picture = Picture();
    ASSERT_TRUE(QFile::rename(picture, fDir.file("away.png")));
    RestartAnswering(true);
    EXPECT_EQ(LastAsked().Kind, TPromptKind::pkWarning);
    EXPECT_TRUE(LastAsked().Text.startsWith("The picture \"" + picture +
                                            "\" is missing, so the work cannot be restored."))
        << LastAsked().Text.toStdString();
    EXPECT_TRUE(Kept());
    EXPECT_TRUE(Graph().Background().IsEmpty());
    EXPECT_EQ(Graph().Objects().Count(), 0);
    // Work of this run that is saved, or closed, does not take it away.
    const auto kept = KeptFiles();
    Open(200, 100);
    EXPECT_TRUE(Form().close());
    EXPECT_EQ(KeptFiles(), kept);

    ASSERT_TRUE(QFile::rename(fDir.file("away.png"), picture));
    RestartAnswering(true);
    EXPECT_EQ(Graph().Objects().Count(), 2);
    EXPECT_TRUE(Form().Unsaved());
}

TEST_F(Recovery, DamagedKeptWorkIsSaidAndGoesOnlyWhenTheUserSays)
{
    QDir().mkpath(Folder());
    const QByteArray good =
        "[Recovery]\r\nPicture=file:///x.png\r\nWritten=2026-03-01T08:15:00Z\r\n"
        "Measurement=Recovery1.tlv\r\n";
    const QByteArray damaged[] = {
        "",
        QByteArray(good).replace("file:///x.png", "x.png"),
        QByteArray(good).replace("2026-03-01T08:15:00Z", "yesterday"),
        QByteArray(good).replace("Recovery1.tlv", "../../Talivo.ini"),
        QByteArray(good).replace("Measurement=", "Measure="),
        QByteArray("\xff\xfe\x00\xd8", 4),
    };
    for (const QByteArray &bytes : damaged) {
        Write(Info(), bytes);
        RestartAnswering(false);
        EXPECT_TRUE(LastAsked().Text.startsWith("Work that was not saved was kept at the last "
                                                "run, but it cannot be restored."))
            << LastAsked().Text.toStdString();
        EXPECT_TRUE(LastAsked().Text.endsWith("Do you want to delete it?"));
        EXPECT_TRUE(Kept()) << bytes.toStdString();
    }
    RestartAnswering(true);
    EXPECT_FALSE(Kept());

    // A description that names a damaged measurement.
    StartCounting();
    Form().TimerRecoveryTimer();
    const TRecoveryInfo info = TRecoveryFile(Folder()).Read();
    const QByteArray measurement = Read(info.MeasurementFileName);
    Write(info.MeasurementFileName, measurement.left(measurement.size() / 2));
    RestartAnswering(true);
    EXPECT_EQ(LastAsked().Kind, TPromptKind::pkWarning);
    EXPECT_TRUE(LastAsked().Text.startsWith("Cannot open \"" + info.MeasurementFileName + "\""))
        << LastAsked().Text.toStdString();
    EXPECT_TRUE(Kept());
    EXPECT_TRUE(Graph().Background().IsEmpty());
}

TEST_F(Recovery, AMeasurementTheDescriptionDoesNotNameIsNeverRestored)
{
    StartCounting();
    Form().TimerRecoveryTimer();
    // What a write cut short leaves: the next measurement, but the old description.
    const TRecoveryInfo info = TRecoveryFile(Folder()).Read();
    const QString other = QFileInfo(info.MeasurementFileName).fileName() == "Recovery1.tlv"
                              ? Folder() + "Recovery2.tlv"
                              : Folder() + "Recovery1.tlv";
    Write(other, "cut short");
    RestartAnswering(true);
    EXPECT_EQ(Graph().Objects().Count(), 2);
    // The next write goes to the other file and leaves the one named until then.
    Press("ToolButtonAdd");
    Click({300, 200});
    Form().TimerRecoveryTimer();
    EXPECT_EQ(TRecoveryFile(Folder()).Read().MeasurementFileName, other);
    EXPECT_FALSE(QFileInfo::exists(info.MeasurementFileName));
    EXPECT_EQ(KeptMarks(), 3);
}

TEST_F(Recovery, WorkKeptByAnotherRunningProgramIsLeftAlone)
{
    StartCounting();
    Form().TimerRecoveryTimer();
    const auto kept = KeptFiles();
    Restart();
    {
        TRecoveryFile other(Folder());
        ASSERT_TRUE(other.Claim());
        const size_t asked = fPrompter.Asked().size();
        Form();
        EXPECT_EQ(fPrompter.Asked().size(), asked);
        StartCounting();
        Form().TimerRecoveryTimer();
        EXPECT_EQ(KeptFiles(), kept);
        fPrompter.PushAnswer(true);
        EXPECT_TRUE(Form().close());
        EXPECT_EQ(KeptFiles(), kept);
    }
    // Once the other program has ended, the next start asks.
    RestartAnswering(false);
    EXPECT_EQ(LastAsked().Caption, kCaption);
    EXPECT_TRUE(KeptFiles().empty());
}

TEST_F(Recovery, AFailedWriteLeavesTheWorkAloneAndAsksNothing)
{
    StartCounting();
    // A file where the settings folder should be: no folder can be made there, even by root.
    const QString folder = QDir::cleanPath(Folder());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).path()));
    Write(folder, "in the way");
    const QStringList before = Snapshot();
    const size_t asked = fPrompter.Asked().size();
    for (int i = 0; i < 3; ++i)
        Form().TimerRecoveryTimer();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(fPrompter.Asked().size(), asked);
    EXPECT_TRUE(Form().StatusText(2).startsWith(
        "The unsaved work cannot be kept for a restart after a crash: "))
        << Form().StatusText(2).toStdString();

    ASSERT_TRUE(QFile::remove(folder));
    Form().TimerRecoveryTimer();
    EXPECT_TRUE(Kept());
}

} // namespace
} // namespace talivo::test
