// Appends message catalogs to a program file, where the program's translator finds them before
// any file of the "locale" folder:
//     talivo-append-catalogs PROGRAM CATALOG-OR-FOLDER...
// Every catalog (a folder stands for the *.mo files below it) must lie in the program's folder;
// its path relative to that folder is the path the program looks it up by.
#include "i18n/AppendedCatalogs.h"
#include "platform/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <stdexcept>

namespace {

using talivo::TCatalogToAppend;

[[noreturn]] void Fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        Fail("Cannot read " + fileName + ": " + file.errorString());
    return file.readAll();
}

void AddCatalog(const QDir &programFolder, const QString &fileName,
                std::vector<TCatalogToAppend> &catalogs)
{
    const QString path = programFolder.relativeFilePath(QFileInfo(fileName).absoluteFilePath());
    if (path.startsWith("../") || QDir::isAbsolutePath(path))
        Fail(fileName + " does not lie in the program's folder " + programFolder.path());
    catalogs.push_back({path, ReadAll(fileName)});
}

std::vector<TCatalogToAppend> CollectCatalogs(const QDir &programFolder, const QStringList &names)
{
    std::vector<TCatalogToAppend> catalogs;
    for (const QString &name : names) {
        const QFileInfo info(name);
        if (info.isFile()) {
            AddCatalog(programFolder, name, catalogs);
        } else if (info.isDir()) {
            QStringList found;
            QDirIterator files(name, {"*.mo"}, QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext())
                found.append(files.next());
            found.sort();
            for (const QString &file : std::as_const(found))
                AddCatalog(programFolder, file, catalogs);
        } else {
            Fail("No such catalog or folder: " + name);
        }
    }
    if (catalogs.empty())
        Fail("No catalogs to append");
    return catalogs;
}

void Append(const QString &programFile, const std::vector<TCatalogToAppend> &catalogs)
{
    const QByteArray program = ReadAll(programFile);
    // A second block would hide the first from the program's reader.
    if (program.contains(talivo::AppendedCatalogsBeginMarker()))
        Fail(programFile + " carries appended catalogs already");
    const QFile::Permissions permissions = QFile::permissions(programFile);
    const QByteArray block = talivo::AppendedCatalogsBlock(catalogs);
    talivo::WriteFileAtomically(
        programFile,
        [&](QIODevice &file) {
            return file.write(program) == program.size() && file.write(block) == block.size();
        },
        [&](talivo::TSaveStep, const QString &reason) -> std::exception_ptr {
            Fail("Cannot write " + programFile + ": " + reason);
        });
    QFile::setPermissions(programFile, permissions);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: talivo-append-catalogs PROGRAM CATALOG-OR-FOLDER...\n");
        return 2;
    }
    try {
        const QString programFile = arguments[0];
        const std::vector<TCatalogToAppend> catalogs =
            CollectCatalogs(QFileInfo(programFile).absoluteDir(), arguments.mid(1));
        Append(programFile, catalogs);
        for (const TCatalogToAppend &catalog : catalogs)
            std::printf("%s\n", qPrintable(catalog.Path));
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "talivo-append-catalogs: %s\n", error.what());
        return 1;
    }
}
