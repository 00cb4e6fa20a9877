#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>

#ifdef Q_OS_WIN
#include <shlobj.h>
#endif

namespace talivo {

QStringList IFolders::DataFolders() const
{
    const QDir program(ProgramFolder());
    return {program.path(), QDir::cleanPath(program.filePath("../share/talivo"))};
}

QString IFolders::FindDataFolder(const QString &name) const
{
    const QStringList folders = DataFolders();
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isDir())
            return path;
    }
    return QDir(folders.front()).filePath(name);
}

QString TSystemFolders::CommonAppData() const
{
#ifdef Q_OS_WIN
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return QDir::cleanPath(QDir::fromNativeSeparators(QString::fromWCharArray(path)));
#else
    // The XDG rules ignore a relative value as invalid.
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::cleanPath(QDir::homePath() + "/.local/share");
#endif
}

QString TSystemFolders::ProgramFile() const
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace talivo
