#include "settings/FileFolders.h"

#include "settings/IniDocument.h"
#include "settings/MemIniFile.h"
#include "settings/VersionInfo.h"

#include <QDir>
#include <QFileInfo>

namespace talivo {

QString TFileFolders::KeyOf(TFileKind kind)
{
    switch (kind) {
    case fkPicture:
        return "Pictures";
    case fkMeasurement:
        return "Measurements";
    case fkExport:
        return "Exports";
    case fkMarkedPicture:
        return "MarkedPictures";
    case fkCount:
        break;
    }
    return QString();
}

void TFileFolders::Load()
{
    const QString fileName = GetSettingsFileName();
    if (!QFileInfo::exists(fileName))
        return;
    const TMemIniFile file(fileName);
    for (int kind = 0; kind < fkCount; ++kind)
        fFolders[kind] = file.ReadString(kSection, KeyOf(TFileKind(kind)), QString());
}

QString TFileFolders::InitialDir(TFileKind kind) const
{
    const QString &folder = fFolders[kind];
    // Checked at every dialog: the folder may have gone since it was chosen, even in this run.
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return QDir::homePath();
}

void TFileFolders::Remember(TFileKind kind, const QString &fileName)
{
    // Written even when it is the folder already known: the file may have lost it meanwhile.
    const QString folder = QFileInfo(fileName).absolutePath();
    fFolders[kind] = folder;

    // Read anew, so that what another window or the placement wrote meanwhile is kept.
    TMemIniFile file(GetWritableSettingsFileName());
    file.WriteString(kSection, KeyOf(kind), folder);
    file.UpdateFile();
}

} // namespace talivo
