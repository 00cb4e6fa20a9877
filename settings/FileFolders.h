#pragma once

#include <QString>
#include <array>

namespace talivo {

// The kinds of file whose dialogs each start where the last one of their kind was chosen.
enum TFileKind : int {
    fkPicture,       // pictures opened for counting
    fkMeasurement,   // measurements, opened and saved
    fkExport,        // exported counts
    fkMarkedPicture, // pictures saved with their marks drawn in
    fkCount
};

// The folder last used for each kind of file, kept in the "Folders" section of the settings
// file (one key per kind) so that it outlasts the run.
class TFileFolders {
public:
    // Reads the folders the settings file holds; a missing or unreadable file leaves them unknown.
    void Load();

    // The folder a dialog for the kind starts in: the remembered one while it still exists, else
    // the user's home.
    QString InitialDir(TFileKind kind) const;

    // Remembers the folder of the chosen file and writes it to the settings file at once, so a
    // run that ends without closing keeps it too. Throws EIniFileError when the file cannot be
    // written; the folder is remembered for this run all the same.
    void Remember(TFileKind kind, const QString &fileName);

    // The settings file's key of the kind.
    static QString KeyOf(TFileKind kind);
    static constexpr const char *kSection = "Folders";

private:
    std::array<QString, fkCount> fFolders;
};

} // namespace talivo
