#include "tests/i18n/CatalogSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

namespace talivo::test {

void BuildCatalog(const QString &po, const QString &moFile, const QString &endianness)
{
    QDir().mkpath(QFileInfo(moFile).absolutePath());
    QTemporaryDir work;
    QFile source(work.filePath("in.po"));
    if (!source.open(QIODevice::WriteOnly) || source.write(po.toUtf8()) < 0)
        throw std::runtime_error("cannot write the .po file");
    source.close();
    QProcess msgfmt;
    msgfmt.start("msgfmt", {"--endianness=" + endianness, "-o", moFile, source.fileName()});
    if (!msgfmt.waitForFinished() || msgfmt.exitStatus() != QProcess::NormalExit ||
        msgfmt.exitCode() != 0) {
        throw std::runtime_error(("msgfmt (package gettext) failed or is missing: " +
                                  msgfmt.errorString() + " " + msgfmt.readAllStandardError())
                                     .toStdString());
    }
}

QByteArray BuildCatalogBytes(const QString &po, const QString &endianness)
{
    QTemporaryDir work;
    BuildCatalog(po, work.filePath("out.mo"), endianness);
    QFile file(work.filePath("out.mo"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("msgfmt wrote no catalog");
    return file.readAll();
}

TProgramFixture::TProgramFixture()
    : fFolders(fDir.path(), fDir.file("talivo")), fFoldersGuard(&fFolders),
      fPrompterGuard(&fPrompter)
{
    QFile program(ProgramFile());
    if (!program.open(QIODevice::WriteOnly) || program.write("a program file") < 0)
        throw std::runtime_error("cannot write the program file");
}

QString TProgramFixture::CatalogPath(const QString &language, const QString &domain) const
{
    return fDir.file("locale/" + language + "/LC_MESSAGES/" + domain + ".mo");
}

TScopedEnvironment::TScopedEnvironment(const char *name, const QByteArray &value) : fName(name)
{
    if (qEnvironmentVariableIsSet(name))
        fPrevious = qgetenv(name);
    qputenv(name, value);
}

TScopedEnvironment::~TScopedEnvironment()
{
    if (fPrevious)
        qputenv(fName, *fPrevious);
    else
        qunsetenv(fName);
}

} // namespace talivo::test
