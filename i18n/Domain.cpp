#include "i18n/Domain.h"

#include "i18n/FileLocator.h"
#include "i18n/MoFile.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>

namespace talivo {

TDomain::TDomain(TFileLocator &locator, const QString &domain, const QString &directory,
                 const QString &language)
    : fLocator(locator), fDomain(domain), fLanguage(language)
{
    SetDirectory(directory);
}

TDomain::~TDomain()
{
    CloseMoFile();
}

QByteArray TDomain::gettext(const QByteArray &source)
{
    if (fEnabled && !fMoFile && !fOpenHasFailedBefore)
        OpenMoFile();
    if (!fMoFile)
        return source;
    const std::optional<QByteArrayView> translation = fMoFile->gettext(source);
    return translation ? translation->toByteArray() : source;
}

void TDomain::SetLanguageCode(const QString &language)
{
    CloseMoFile();
    fOpenHasFailedBefore = false;
    fLanguage = language;
}

void TDomain::SetDirectory(const QString &directory)
{
    CloseMoFile();
    fOpenHasFailedBefore = false;
    fDirectory = directory;
    if (!fDirectory.endsWith('/') && !fDirectory.endsWith('\\'))
        fDirectory += '/';
}

QString TDomain::CatalogFileName(const QString &language) const
{
    return fDirectory + LanguageFolder(language) + "/LC_MESSAGES/" + fDomain + ".mo";
}

QString TDomain::LanguageFolder(const QString &language) const
{
    // A language file may spell the code in capitals ("DE") where the folder is "de": on a file
    // system that tells them apart the folder is found by a look at the folders there.
    if (QFileInfo(fDirectory + language).isDir())
        return language;
    const QStringList folders = QDir(fDirectory).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : folders) {
        if (folder.compare(language, Qt::CaseInsensitive) == 0)
            return folder;
    }
    return language;
}

void TDomain::OpenMoFile()
{
    QString fileName = CatalogFileName(fLanguage);
    if (!fLocator.FileExists(fileName)) {
        fileName = CatalogFileName(fLanguage.left(2));
        if (!fLocator.FileExists(fileName)) {
            fOpenHasFailedBefore = true;
            return;
        }
    }
    fMoFile = fLocator.GetMoFile(fileName);
    const std::optional<QByteArrayView> header = fMoFile->gettext("");
    if (header && DeclaresUtf8(*header))
        return;
    CloseMoFile();
    // Disabled before the box shows: a repaint during the box may look up texts again, and the
    // user is told once.
    fEnabled = false;
    Prompter().Warning("The translation for the language code " + fLanguage + " (in " + fileName +
                           ") does not have charset=utf-8 in its Content-Type. Translations are "
                           "turned off.",
                       "Localization problem");
}

void TDomain::CloseMoFile()
{
    if (fMoFile)
        fLocator.ReleaseMoFile(fMoFile);
    fMoFile = nullptr;
}

} // namespace talivo
