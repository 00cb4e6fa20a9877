#pragma once

#include "i18n/AppendedCatalogs.h"

#include <QString>
#include <map>
#include <memory>
#include <shared_mutex>

namespace talivo {

class TMoFile;

// Finds catalogs, appended to the program file or on disk, and shares the open ones: a catalog
// is opened once per file and position, however many domains use it.
class TFileLocator {
public:
    // Scans the program file for appended catalogs; a file without them, or one that cannot be
    // read, gives none.
    explicit TFileLocator(const QString &programFile);
    ~TFileLocator();
    TFileLocator(const TFileLocator &) = delete;
    TFileLocator &operator=(const TFileLocator &) = delete;

    // Whether the catalog is appended to the program file or is a file on disk.
    bool FileExists(const QString &fileName) const;
    // Opens the catalog, or shares the one already open, and counts the new user. Appended
    // catalogs take precedence over files on disk. Throws ETrIOError.
    TMoFile *GetMoFile(const QString &fileName);
    // Ends one use of a catalog returned by GetMoFile, closing it after its last user.
    void ReleaseMoFile(TMoFile *catalog);

    const QString &basedirectory() const { return fBaseDirectory; }
    size_t AppendedCount() const { return fFileList.size(); }

private:
    const TEmbeddedFileInfo *Appended(const QString &fileName) const;

    QString fProgramFile;
    // The program file's folder with a trailing '/'.
    QString fBaseDirectory;
    // Keyed by the case-folded path relative to the program's folder.
    std::map<QString, TEmbeddedFileInfo> fFileList;
    // Keyed by the case-folded file path and the catalog's offset in that file.
    std::map<std::pair<QString, qint64>, std::unique_ptr<TMoFile>> fMoFiles;
    std::shared_mutex fMoFilesCS;
};

} // namespace talivo
