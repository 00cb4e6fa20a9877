#include "tests/tools/CliWorkspace.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <random>
#include <signal.h>
#include <sys/resource.h>

namespace talivo::test {
namespace {

// A measurement large enough that writing its export and its picture takes a while, an old
// version of each output, and the new version talivo-cli writes.
class CliFault : public Cli {
protected:
    void SetUp() override
    {
        LoadImage(1600, 1200);
        Form().AddGroupRow("Cells", 255, 1000, 0);
        for (int i = 0; i < 3000; ++i)
            Form().AddMark(10 + (i % 60) * 26, 10 + (i / 60) * 23, 10, 1000);
        SaveMeasurement("a.tlv");
        ASSERT_TRUE(QImage(fDir.file("picture.png")).save(Work("picture.png")));
    }

    static QStringList Export() { return {"export", "a.tlv", "-o", "out.txt"}; }
    static QStringList Render() { return {"render", "picture.png", "a.tlv", "out.png"}; }

    // The output after a complete run, and how long such a run takes.
    QByteArray NewOutput(const QStringList &call, const QString &output, qint64 &nanoseconds)
    {
        QFile::remove(Work(output));
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(Run(call).Status, 0);
        nanoseconds = timer.nsecsElapsed();
        return Read(Work(output));
    }

    // Kills talivo-cli at random moments of runs that write over the old output: the output is
    // always the whole old or the whole new file. Returns how often each was found.
    std::pair<int, int> KillWhileWriting(const QStringList &call, const QString &output, int runs)
    {
        qint64 duration = 0;
        const QByteArray fresh = NewOutput(call, output, duration);
        const QByteArray old = "the previous version of " + output.toUtf8() + "\r\n";
        std::mt19937 random(20261209);
        std::uniform_int_distribution<qint64> moment(0, duration + duration / 3);
        int oldFound = 0;
        int newFound = 0;
        for (int run = 0; run < runs; ++run) {
            Write(Work(output), old);
            QProcess process;
            Start(process, call);
            if (!process.waitForStarted(10000)) {
                ADD_FAILURE() << "talivo-cli did not start";
                break;
            }
            QThread::usleep(static_cast<unsigned long>(moment(random) / 1000));
            ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
            process.waitForFinished(10000);
            const QByteArray found = Read(Work(output));
            oldFound += found == old;
            newFound += found == fresh;
            if (found != old && found != fresh) {
                ADD_FAILURE() << output.toStdString() << " is torn after run " << run << ": "
                              << found.size() << " bytes";
                break;
            }
        }
        return {oldFound, newFound};
    }

    // Only this much may be written by the child: like a full disk for anything larger.
    static std::function<void()> FileSizeLimit(rlim_t bytes)
    {
        return [bytes] {
            const rlimit limit{bytes, bytes};
            setrlimit(RLIMIT_FSIZE, &limit);
        };
    }
};

TEST_F(CliFault, KilledAtAnyMomentTheOutputIsTheWholeOldOrTheWholeNewFile)
{
    for (const auto &[call, output] :
         {std::pair{Export(), QString("out.txt")}, std::pair{Render(), QString("out.png")}}) {
        SCOPED_TRACE(output.toStdString());
        const auto [oldFound, newFound] = KillWhileWriting(call, output, 120);
        // Kills landed both before and after the file was replaced, so the moments in between
        // were reached too.
        EXPECT_GT(oldFound, 0);
        EXPECT_GT(newFound, 0);
        std::printf("%s: %d kills left the old file, %d the new one\n", qPrintable(output),
                    oldFound, newFound);
    }
}

TEST_F(CliFault, AWriteBeyondTheFileSizeLimitKeepsTheOldFileAndFails)
{
    for (const auto &[call, output] :
         {std::pair{Export(), QString("out.txt")}, std::pair{Render(), QString("out.png")}}) {
        SCOPED_TRACE(output.toStdString());
        qint64 duration = 0;
        const QByteArray fresh = NewOutput(call, output, duration);
        ASSERT_GT(fresh.size(), 8192);
        const QByteArray old = "the previous version\r\n";
        Write(Work(output), old);
        const CliRun run = Run(call, FileSizeLimit(8192));
        EXPECT_EQ(run.Status, 1);
        EXPECT_TRUE(run.Err.startsWith("talivo-cli: Cannot write \"out.")) << run.Err.data();
        EXPECT_EQ(run.Err.count('\n'), 1);
        EXPECT_EQ(Read(Work(output)), old);
    }
    // Nothing is left over beside the old files.
    EXPECT_EQ(Entries("work"), QStringList({"a.tlv", "out.png", "out.txt", "picture.png"}));
}

} // namespace
} // namespace talivo::test
