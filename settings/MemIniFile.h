#pragma once

#include "settings/CustomIniFile.h"
#include "settings/IniDocument.h"

namespace talivo {

// An INI file read whole into memory at construction; writes change only the memory until
// UpdateFile. A missing file starts empty; one that exists but cannot be read (or is larger than
// TIniDocument::MaxSize) reads as empty too, and UpdateFile refuses to replace it.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(QString fileName);

    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const override;
    void WriteString(const QString &section, const QString &key, const QString &value) override;
    QStringList ReadSections() const override;
    QStringList ReadSection(const QString &section) const override;

    // Forgets every section, so that UpdateFile writes only what is written from now on, whatever
    // the file held or whether it could be read.
    void Clear();

    // Raises EIniFileError when the file exists but could not be read, for callers that must not
    // act on defaults standing in for content they never saw.
    void CheckRead() const;

    // Writes the text to the file through a temporary file in the same folder and an atomic
    // replace, so a failed write leaves the previous file whole. Throws EIniFileError.
    void UpdateFile();

private:
    TIniDocument fDocument;
    QString fReadError; // why an existing file could not be read; empty when it could
};

} // namespace talivo
