#pragma once

#include "platform/Folders.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"
#include "tests/common/TestMain.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace talivo::test {

// The header of a catalog whose texts are UTF-8.
inline const char *const cUtf8Header = "msgid \"\"\n"
                                       "msgstr \"\"\n"
                                       "\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

// Builds a catalog from .po text with GNU msgfmt, "little" or "big" endian, creating the folders
// of the output path. Throws when msgfmt is missing or fails: these tests need it.
void BuildCatalog(const QString &po, const QString &moFile, const QString &endianness = "little");
QByteArray BuildCatalogBytes(const QString &po, const QString &endianness = "little");

// A program folder in a temporary folder, put in place of the system's for the test, with a
// prompter that records every box.
class TProgramFixture {
public:
    TProgramFixture();

    // locale/<language>/LC_MESSAGES/<domain>.mo of this program.
    QString CatalogPath(const QString &language, const QString &domain = "Talivo") const;
    QString ProgramFile() const { return fDir.file("talivo"); }

    TempDir fDir;
    TScriptedPrompter fPrompter;

private:
    TFixedFolders fFolders;
    TScopedFolders fFoldersGuard;
    TScopedPrompter fPrompterGuard;
};

// Sets an environment variable for the life of the guard.
class TScopedEnvironment {
public:
    TScopedEnvironment(const char *name, const QByteArray &value);
    ~TScopedEnvironment();

private:
    const char *fName;
    std::optional<QByteArray> fPrevious;
};

} // namespace talivo::test
