#include "platform/AtomicFile.h"

#include "tests/common/TestMain.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <gtest/gtest.h>

#include <stdexcept>

namespace talivo {
namespace {

QByteArray Content(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void PutContent(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The failure names the step and the reason, so each case sees which one the save reached.
struct ESaveFailed : std::runtime_error {
    ESaveFailed(TSaveStep step, const QString &reason)
        : std::runtime_error(reason.toStdString()), Step(step)
    {}
    TSaveStep Step;
};

std::exception_ptr Failure(TSaveStep step, const QString &reason)
{
    return std::make_exception_ptr(ESaveFailed(step, reason));
}

TEST(AtomicFile, ReplacesTheFileOnlyWhenTheWholeContentIsWritten)
{
    test::TempDir dir;
    const QString name = dir.file("counts.txt");
    PutContent(name, "old");
    WriteFileAtomically(
        name, [](QIODevice &file) { return file.write("new") == 3; }, Failure);
    EXPECT_EQ(Content(name), "new");

    try {
        WriteFileAtomically(
            name, [](QIODevice &file) { return file.write("half") == 4 && false; }, Failure);
        ADD_FAILURE() << "a short write was taken for a save";
    } catch (const ESaveFailed &failed) {
        EXPECT_EQ(failed.Step, TSaveStep::Write);
    }
    EXPECT_EQ(Content(name), "new");

    // The writer's own error goes on as it is and keeps the previous version as well.
    EXPECT_THROW(WriteFileAtomically(
                     name,
                     [](QIODevice &file) -> bool {
                         file.write("partial");
                         throw std::logic_error("encoder failed");
                     },
                     Failure),
                 std::logic_error);
    EXPECT_EQ(Content(name), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"counts.txt"});
}

TEST(AtomicFile, AFolderThatIsNotThereFailsAtCreationWithTheSystemsReason)
{
    test::TempDir dir;
    try {
        WriteFileAtomically(
            dir.file("no/such/folder/a.txt"), [](QIODevice &) { return true; }, Failure);
        ADD_FAILURE() << "a file was taken for written in a missing folder";
    } catch (const ESaveFailed &failed) {
        EXPECT_EQ(failed.Step, TSaveStep::Create);
        EXPECT_STRNE(failed.what(), "");
    }
}

} // namespace
} // namespace talivo
