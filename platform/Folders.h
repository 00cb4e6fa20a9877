#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace talivo {

// Where the program and its shared data live. Paths use '/' and end without a separator.
class IFolders {
public:
    virtual ~IFolders() = default;

    // The application-data folder shared by all users of the machine. A Linux desktop has no
    // such folder that users can write, so there it is the user's XDG data folder.
    virtual QString CommonAppData() const = 0;
    // The full path of the running program file.
    virtual QString ProgramFile() const = 0;

    QString ProgramFolder() const { return QFileInfo(ProgramFile()).absolutePath(); }
    // Where the program's own files (catalogs, the manual) may lie, in the order they are
    // searched: beside the program, as in a build folder or on Windows, then the share folder of
    // an installed tree (bin/../share/talivo).
    QStringList DataFolders() const;
    // The path of the folder in the first data folder that holds one of that name (a file of
    // the name, such as the program /usr/bin/locale, does not count); beside the program when
    // none does.
    QString FindDataFolder(const QString &name) const;
};

class TSystemFolders : public IFolders {
public:
    QString CommonAppData() const override;
    QString ProgramFile() const override;
};

// Folders for tests, set by the test.
class TFixedFolders : public IFolders {
public:
    TFixedFolders(QString commonAppData, QString programFile)
        : fCommonAppData(std::move(commonAppData)), fProgramFile(std::move(programFile))
    {}

    QString CommonAppData() const override { return fCommonAppData; }
    QString ProgramFile() const override { return fProgramFile; }
    void SetCommonAppData(const QString &path) { fCommonAppData = path; }
    void SetProgramFile(const QString &path) { fProgramFile = path; }

private:
    QString fCommonAppData;
    QString fProgramFile;
};

} // namespace talivo
