#pragma once

#include <QByteArray>
#include <QString>

namespace talivo {

class TFileLocator;
class TMoFile;

// One text domain: finds and holds the catalog of its language, opened on the first lookup after
// the language or the folder changed.
class TDomain {
public:
    TDomain(TFileLocator &locator, const QString &domain, const QString &directory,
            const QString &language);
    ~TDomain();
    TDomain(const TDomain &) = delete;
    TDomain &operator=(const TDomain &) = delete;

    // The translation of a UTF-8 source text without carriage returns, or the text itself.
    // Throws ETrIOError when the catalog found cannot be read; the next lookup tries again.
    QByteArray gettext(const QByteArray &source);

    void SetLanguageCode(const QString &language);
    // The catalog root folder; a trailing delimiter is added when missing.
    void SetDirectory(const QString &directory);

    const QString &Domain() const { return fDomain; }
    const QString &Directory() const { return fDirectory; }
    const QString &curlang() const { return fLanguage; }
    // False for good once the domain's catalog failed the character-set check.
    bool Enabled() const { return fEnabled; }

private:
    QString CatalogFileName(const QString &language) const;
    // The folder of the language's catalogs as spelt on disk, whatever the code's letter case.
    QString LanguageFolder(const QString &language) const;
    void OpenMoFile();
    void CloseMoFile();

    TFileLocator &fLocator;
    bool fEnabled = true;
    QString fDirectory;
    QString fDomain;
    TMoFile *fMoFile = nullptr;
    QString fLanguage;
    // A search found no catalog; no new search until the language or the folder changes.
    bool fOpenHasFailedBefore = false;
};

} // namespace talivo
