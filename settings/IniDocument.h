#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>
#include <vector>

namespace talivo {

// An INI file that cannot be read or written, or a name or value that the format cannot hold.
class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text of an INI file with the semantics of Windows private-profile files. Every line is kept
// as it stands, so writing a value leaves comments, blank lines and the order of everything else
// alone. Section and key names match without regard to case; values read without their
// surrounding blanks. Lines starting with ';', lines without '=' and keys before the first
// section are ignored. A section whose header appears more than once is one section; its first
// value of a key counts.
class TIniDocument {
public:
    TIniDocument() = default;

    // UTF-8 with or without a byte-order mark, UTF-16 (either byte order) behind its mark, and
    // otherwise, when the bytes are not UTF-8, Windows-1252; lines end in CR LF, LF or CR.
    static TIniDocument FromBytes(const QByteArray &bytes);
    // UTF-8 with the line end the text was read with, and a byte-order mark when the text came
    // with one of any form (a new text uses the platform's line end and no mark); every line
    // ends with a line end.
    QByteArray ToBytes() const;

    std::optional<QString> Value(const QString &section, const QString &key) const;
    // Section names in file order, each once, spelled as at its first header.
    QStringList Sections() const;
    // The section's key names in file order, each once.
    QStringList Keys(const QString &section) const;

    // INI files above this size are refused rather than taken into memory.
    static constexpr qsizetype MaxSize = 1 << 20;

    // Replaces the key's value where it stands, else adds the key after the last key of the
    // section, else adds the section at the end. Throws EIniFileError for a name or value that
    // would not read back (line breaks, a key with '=' or starting with ';' or '[', an empty key).
    void SetValue(const QString &section, const QString &key, const QString &value);

private:
    enum class TLineKind { Other, Section, Key };
    struct TLine {
        TLineKind Kind = TLineKind::Other;
        QString Text;
        QString Name;  // section or key name, trimmed
        QString Value; // key lines: the trimmed value
    };

    struct TSection {
        QString Name;
        QStringList KeyNames;
        QHash<QString, size_t> KeyLines; // case-folded key name to its first line
        size_t LastLine = 0;             // the last key line of the first header, or that header
    };

    static TLine Parse(const QString &text);
    const TSection *Find(const QString &section) const;
    // Indexes the lines, so that a lookup does not walk the whole text.
    void Reindex();

    std::vector<TLine> fLines;
    std::vector<TSection> fSections;
    QHash<QString, size_t> fSectionIndex; // case-folded section name to its place in fSections
    bool fByteOrderMark = false;
    QByteArray fLineEnd;
};

} // namespace talivo
