#include "detect/ModuleRun.h"
#include "tests/common/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace talivo::test {
namespace {

TEST(ObjectList, ReadsCoordinatesOnThePictureOnly)
{
    const QSize picture(100, 50);
    const TModuleResult good =
        ReadObjectList("10\t20\n 3.25 \t 4 \r\n\n-0.5\t-0.5\n99.5\t49.5\n  \n", picture);
    EXPECT_EQ(good.Outcome, moDone);
    EXPECT_EQ(good.Objects,
              std::vector<QPointF>({{10, 20}, {3.25, 4}, {-0.5, -0.5}, {99.5, 49.5}}));
    EXPECT_TRUE(ReadObjectList("", picture).Objects.empty());
    EXPECT_EQ(ReadObjectList("", picture).Outcome, moDone);

    for (const char *line : {"99.51\t0", "0\t49.51", "-0.51\t0", "0\t-0.51", "1\t2\t3", "1 2",
                             "x\ty", "nan\t1", "1\tinf", "1,5\t2", "7\t", "\t7"}) {
        const TModuleResult bad =
            ReadObjectList(QByteArray("1\t1\n\n") + line + "\n2\t2\n", picture);
        EXPECT_EQ(bad.Outcome, moBadOutput) << line;
        EXPECT_EQ(bad.BadLine, 3) << line;
        EXPECT_EQ(bad.Detail, line) << line;
        EXPECT_TRUE(bad.Objects.empty()) << line;
    }
    const TModuleResult longLine = ReadObjectList(QByteArray(200, 'a'), picture);
    EXPECT_EQ(longLine.Detail, QString(80, u'a') + "...");
}

// Modules the test writes into a modules folder of its own, run on a small picture.
class ModuleRun : public ::testing::Test {
protected:
    ModuleRun() : fPicture(40, 30, QImage::Format_Grayscale8)
    {
        fPicture.fill(200);
        QDir().mkpath(fDir.file("modules"));
        QDir().mkpath(fDir.file("work"));
        // The module's working folder must not be the caller's.
        fPreviousFolder = QDir::currentPath();
        QDir::setCurrent(fDir.file("work"));
    }
    ~ModuleRun() override { QDir::setCurrent(fPreviousFolder); }

    // A module whose body follows a preamble that names its arguments: picture, out, diameter.
    QString Module(const QString &name, const QString &body)
    {
        const QString file = fDir.file("modules/" + name);
        QFile module(file);
        EXPECT_TRUE(module.open(QIODevice::WriteOnly));
        module.write(("import os, sys, time\n"
                      "picture, out, diameter = sys.argv[1], sys.argv[2], sys.argv[3]\n" +
                      body)
                         .toUtf8());
        return file;
    }
    TModuleResult Run(const QString &module, const TProceed &proceed = {}, int limitMs = 20000)
    {
        TModuleRunOptions options;
        options.TimeLimitMs = limitMs;
        return RunModuleFile(module, fPicture, 20, options, proceed);
    }
    QString Side() const { return fDir.file("side.txt"); }
    QString Read(const QString &file)
    {
        QFile text(file);
        return text.open(QIODevice::ReadOnly) ? QString::fromUtf8(text.readAll()) : "<missing>";
    }

    TempDir fDir;
    QImage fPicture;
    QString fPreviousFolder;
};

TEST_F(ModuleRun, HandsOverThePictureAsPngInAnEmptyFolderAndReadsTheObjects)
{
    const QString module = Module("good.py", QString(R"(
with open(picture, 'rb') as f:
    head = f.read(24)
with open(r'%1', 'w') as f:
    f.write('%d %d %s %s %s\n' % (int.from_bytes(head[16:20], 'big'),
            int.from_bytes(head[20:24], 'big'), head[1:4].decode(), diameter,
            os.path.dirname(picture) == os.getcwd()))
    f.write(picture + '\n' + ','.join(sorted(os.listdir('.'))))
with open(out, 'w') as f:
    f.write('5\t6\n12.5\t7.25\n')
)")
                                                 .arg(Side()));
    const TModuleResult result = Run(module);
    EXPECT_EQ(result.Outcome, moDone)
        << result.Detail.toStdString() << result.ErrorLines.toStdString();
    EXPECT_EQ(result.Objects, std::vector<QPointF>({{5, 6}, {12.5, 7.25}}));
    const QStringList side = Read(Side()).split('\n');
    ASSERT_EQ(side.size(), 3);
    EXPECT_EQ(side[0], "40 30 PNG 20 True");
    // Nothing but the picture in the folder when the module started, and gone afterwards.
    EXPECT_EQ(side[2], "picture.png");
    EXPECT_FALSE(QFileInfo::exists(side[1]));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(side[1]).path()));
}

TEST_F(ModuleRun, AddsNothingForAMalformedLineAMissingListOrAFailure)
{
    const TModuleResult malformed =
        Run(Module("bad.py", "open(out, 'w').write('1\\t2\\n3;4\\n5\\t6\\n')\n"));
    EXPECT_EQ(malformed.Outcome, moBadOutput);
    EXPECT_EQ(malformed.BadLine, 2);
    EXPECT_EQ(malformed.Detail, "3;4");
    EXPECT_TRUE(malformed.Objects.empty());

    const TModuleResult silent = Run(Module("silent.py", "pass\n"));
    EXPECT_EQ(silent.Outcome, moBadOutput);
    EXPECT_EQ(silent.BadLine, 0);

    const TModuleResult failed = Run(Module("fail.py", R"(
open(out, 'w').write('1\t2\n')
for i in range(20):
    sys.stderr.write('problem %d\n' % i)
sys.exit(3)
)"));
    EXPECT_EQ(failed.Outcome, moFailed);
    EXPECT_EQ(failed.ExitCode, 3);
    EXPECT_TRUE(failed.Objects.empty());
    EXPECT_EQ(failed.ErrorLines, "problem 0\nproblem 1\nproblem 2\nproblem 3\nproblem 4\n"
                                 "problem 5\nproblem 6\nproblem 7");

    const TModuleResult raised = Run(Module("raise.py", "raise ValueError('no cells here')\n"));
    EXPECT_EQ(raised.Outcome, moFailed);
    EXPECT_EQ(raised.ExitCode, 1);
    EXPECT_TRUE(raised.ErrorLines.contains("ValueError: no cells here"));

    TModuleRunOptions noPython;
    noPython.Interpreter = fDir.file("no-python");
    const TModuleResult missing =
        RunModuleFile(Module("ok.py", "pass\n"), fPicture, 20, noPython, {});
    EXPECT_EQ(missing.Outcome, moNotStarted);
}

TEST_F(ModuleRun, StopsAModulePastItsTimeLimitOrWhenCancelled)
{
    const QString sleeper = Module("sleep.py", "open(out, 'w').write('1\\t2\\n')\n"
                                               "sys.stderr.write('sleeping\\n')\n"
                                               "sys.stderr.flush()\n"
                                               "time.sleep(60)\n");
    QElapsedTimer clock;
    clock.start();
    const TModuleResult late = Run(sleeper, {}, 3000);
    EXPECT_EQ(late.Outcome, moTimedOut);
    EXPECT_TRUE(late.Objects.empty());
    EXPECT_EQ(late.ErrorLines, "sleeping");
    EXPECT_LT(clock.elapsed(), 10000);

    clock.restart();
    int asked = 0;
    std::vector<double> fractions;
    const TModuleResult cancelled = Run(sleeper, [&](double fraction) {
        fractions.push_back(fraction);
        return ++asked < 5;
    });
    EXPECT_EQ(cancelled.Outcome, moCancelled);
    EXPECT_TRUE(cancelled.Objects.empty());
    EXPECT_EQ(asked, 5);
    // A module cannot say how far it has come.
    EXPECT_TRUE(std::all_of(fractions.begin(), fractions.end(), [](double f) { return f < 0; }));
    EXPECT_LT(clock.elapsed(), 10000);
}

} // namespace
} // namespace talivo::test
