#include "i18n/FileLocator.h"

#include "i18n/MoFile.h"

#include <QFile>
#include <QFileInfo>
#include <mutex>

namespace talivo {

namespace {

QString Folded(QString path)
{
    path.replace('\\', '/');
    return path.toCaseFolded();
}

} // namespace

TFileLocator::TFileLocator(const QString &programFile)
    : fProgramFile(programFile), fBaseDirectory(QFileInfo(programFile).absolutePath() + '/')
{
    QFile file(programFile);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return;
    const uchar *bytes = file.map(0, file.size());
    if (!bytes)
        return;
    for (const TAppendedCatalog &catalog : ReadAppendedCatalogs(QByteArrayView(bytes, file.size())))
        fFileList[Folded(catalog.Path)] = catalog.Info;
}

TFileLocator::~TFileLocator() = default;

const TEmbeddedFileInfo *TFileLocator::Appended(const QString &fileName) const
{
    if (fFileList.empty())
        return nullptr;
    QString key = Folded(fileName);
    const QString base = Folded(fBaseDirectory);
    if (key.startsWith(base))
        key.remove(0, base.size());
    const auto found = fFileList.find(key);
    return found == fFileList.end() ? nullptr : &found->second;
}

bool TFileLocator::FileExists(const QString &fileName) const
{
    return Appended(fileName) || QFileInfo(fileName).isFile();
}

TMoFile *TFileLocator::GetMoFile(const QString &fileName)
{
    const TEmbeddedFileInfo *appended = Appended(fileName);
    const QString file = appended ? fProgramFile : fileName;
    const qint64 offset = appended ? appended->offset : 0;
    std::unique_lock lock(fMoFilesCS);
    std::unique_ptr<TMoFile> &catalog = fMoFiles[{Folded(file), offset}];
    if (!catalog) {
        try {
            catalog = appended ? TMoFile::Map(file, offset, appended->size) : TMoFile::Map(file);
        } catch (...) {
            fMoFiles.erase({Folded(file), offset});
            throw;
        }
    }
    ++catalog->Users;
    return catalog.get();
}

void TFileLocator::ReleaseMoFile(TMoFile *catalog)
{
    std::unique_lock lock(fMoFilesCS);
    for (auto entry = fMoFiles.begin(); entry != fMoFiles.end(); ++entry) {
        if (entry->second.get() == catalog) {
            if (--catalog->Users == 0)
                fMoFiles.erase(entry);
            return;
        }
    }
}

} // namespace talivo
