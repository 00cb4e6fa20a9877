#include "tests/common/TestMain.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace talivo::test {

TempDir::TempDir()
{
    QTemporaryDir dir(QDir::tempPath() + "/talivo-test-XXXXXX");
    dir.setAutoRemove(false);
    fPath = dir.path();
}

TempDir::~TempDir()
{
    QDir(fPath).removeRecursively();
}

QString TempDir::file(const QString &name) const
{
    return fPath + '/' + name;
}

} // namespace talivo::test

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
