#include "platform/Process.h"
#include "tests/app/Workspace.h"

#include <sys/resource.h>

namespace talivo::test {
namespace {

// The window's saves under a file-size limit, the way the process meets a full disk: every one
// fails with an error and leaves the file it would replace as it was.
class WriteFailureTest : public Workspace {
protected:
    void SetUp() override
    {
        ReportFileSizeLimitAsError();
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &fSaved), 0);
    }
    void TearDown() override { setrlimit(RLIMIT_FSIZE, &fSaved); }

    void LimitFileSize(rlim_t bytes)
    {
        rlimit limit = fSaved;
        limit.rlim_cur = bytes;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }

    rlimit fSaved{};
};

TEST_F(WriteFailureTest, SavesBeyondTheLimitFailAndKeepTheOldFiles)
{
    LoadImage(800, 600);
    Form().AddGroupRow("Cells", 255, 1000, 0);
    for (int i = 0; i < 1000; ++i)
        Form().AddMark(10 + (i % 40) * 19, 10 + (i / 40) * 23, 8, 1000);
    const QByteArray old = "the previous version\r\n";
    const QString names[] = {fDir.file("m.tlv"), fDir.file("m.txt"), fDir.file("m.bmp")};
    for (const QString &name : names)
        Write(name, old);
    // Saved elsewhere first: a failed save must not make the work look unsaved either.
    fPrompter.PushFile(fDir.file("first.tlv"));
    Form().Savemeasurement1Click();
    ASSERT_FALSE(Form().Unsaved());

    LimitFileSize(8192);
    // Each save is asked whether to replace the old file, and answered yes.
    fPrompter.PushFile(names[0]);
    fPrompter.PushAnswer(true);
    EXPECT_ANY_THROW(Form().Savemeasurement1Click());
    fPrompter.PushFile(names[1]);
    fPrompter.PushAnswer(true);
    EXPECT_ANY_THROW(Form().Exportmeasurement1Click());
    fPrompter.PushFile(names[2]);
    fPrompter.PushAnswer(true);
    EXPECT_ANY_THROW({
        Form().Saveimage1Click();
        Finish();
    });
    for (const QString &name : names)
        EXPECT_EQ(Read(name), old) << name.toStdString();
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_EQ(QDir(fDir.path()).entryList({"m.*"}, QDir::Files | QDir::Hidden),
              QStringList({"m.bmp", "m.tlv", "m.txt"}));

    // Without the limit the same saves go through.
    TearDown();
    fPrompter.PushFile(names[0]);
    fPrompter.PushAnswer(true);
    Form().Savemeasurement1Click();
    EXPECT_GT(Read(names[0]).size(), 8192);
}

} // namespace
} // namespace talivo::test
