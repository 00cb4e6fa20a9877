#include "settings/IniDocument.h"

#include "i18n/Translation.h"
#include "platform/CodePage.h"

#include <QStringDecoder>
#include <cstddef>

namespace talivo {

namespace {

QString Folded(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

bool HasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// A surrogate without its partner (a damaged UTF-16 file) becomes the replacement character,
// which is what writing it as UTF-8 would make of it: the text read is the text written back.
QString WithoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// Notepad and the system's profile functions know these forms: a byte-order mark names UTF-8 or
// UTF-16; without one, text that is not UTF-8 is in the system's 8-bit code page. Only the first
// mark names the encoding: the decoders keep any further one as text, so a text written back with
// its single mark reads the same.
QString Decode(QByteArrayView bytes, bool &byteOrderMark)
{
    constexpr auto flags =
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    const auto decodeUtf16 = [&](QStringDecoder::Encoding encoding) {
        byteOrderMark = true;
        QStringDecoder utf16(encoding, flags);
        return WithoutLoneSurrogates(utf16.decode(bytes.sliced(2)));
    };
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16(QStringDecoder::Utf16LE);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(QStringDecoder::Utf16BE);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        byteOrderMark = true;
        bytes = bytes.sliced(3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, flags);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? FromWindows1252(bytes) : text;
}

} // namespace

TIniDocument TIniDocument::FromBytes(const QByteArray &bytes)
{
    TIniDocument document;
    const QString text = Decode(bytes, document.fByteOrderMark);

    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        document.fLines.push_back(Parse(text.mid(start, i - start)));
        const bool crLf = c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        if (document.fLineEnd.isEmpty())
            document.fLineEnd = crLf ? "\r\n" : c == u'\r' ? "\r" : "\n";
        if (crLf)
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        document.fLines.push_back(Parse(text.mid(start)));
    document.Reindex();
    return document;
}

QByteArray TIniDocument::ToBytes() const
{
#ifdef Q_OS_WIN
    const QByteArray nativeLineEnd = "\r\n";
#else
    const QByteArray nativeLineEnd = "\n";
#endif
    const QByteArray &lineEnd = fLineEnd.isEmpty() ? nativeLineEnd : fLineEnd;
    QByteArray bytes;
    if (fByteOrderMark)
        bytes += "\xEF\xBB\xBF";
    for (const TLine &line : fLines) {
        bytes += line.Text.toUtf8();
        bytes += lineEnd;
    }
    return bytes;
}

TIniDocument::TLine TIniDocument::Parse(const QString &text)
{
    TLine line;
    line.Text = text;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.lastIndexOf(u']');
        if (close > 0) {
            line.Kind = TLineKind::Section;
            line.Name = trimmed.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (trimmed.startsWith(u';'))
        return line;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0)
        return line;
    line.Name = trimmed.left(equals).trimmed();
    if (line.Name.isEmpty())
        return line;
    line.Kind = TLineKind::Key;
    line.Value = trimmed.mid(equals + 1).trimmed();
    return line;
}

void TIniDocument::Reindex()
{
    fSections.clear();
    fSectionIndex.clear();
    TSection *section = nullptr;
    bool firstHeader = false;
    for (size_t i = 0; i < fLines.size(); ++i) {
        const TLine &line = fLines[i];
        if (line.Kind == TLineKind::Section) {
            const QString name = Folded(line.Name);
            const auto known = fSectionIndex.constFind(name);
            firstHeader = known == fSectionIndex.cend();
            if (firstHeader) {
                fSectionIndex.insert(name, fSections.size());
                fSections.push_back({line.Name, {}, {}, i});
                section = &fSections.back();
            } else {
                section = &fSections[*known];
            }
        } else if (line.Kind == TLineKind::Key && section) {
            const QString key = Folded(line.Name);
            if (!section->KeyLines.contains(key)) {
                section->KeyLines.insert(key, i);
                section->KeyNames.append(line.Name);
            }
            if (firstHeader)
                section->LastLine = i;
        }
    }
}

const TIniDocument::TSection *TIniDocument::Find(const QString &section) const
{
    const auto found = fSectionIndex.constFind(Folded(section));
    return found == fSectionIndex.cend() ? nullptr : &fSections[*found];
}

std::optional<QString> TIniDocument::Value(const QString &section, const QString &key) const
{
    const TSection *found = Find(section);
    if (!found)
        return std::nullopt;
    const auto line = found->KeyLines.constFind(Folded(key));
    if (line == found->KeyLines.cend())
        return std::nullopt;
    return fLines[*line].Value;
}

QStringList TIniDocument::Sections() const
{
    QStringList names;
    names.reserve(qsizetype(fSections.size()));
    for (const TSection &section : fSections)
        names.append(section.Name);
    return names;
}

QStringList TIniDocument::Keys(const QString &section) const
{
    const TSection *found = Find(section);
    return found ? found->KeyNames : QStringList();
}

void TIniDocument::SetValue(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (HasLineBreak(sectionName))
        throw EIniFileError(_("An INI section name cannot hold a line break.").toStdString());
    if (keyName.isEmpty() || HasLineBreak(keyName) || keyName.contains(u'=') ||
        keyName.startsWith(u';') || keyName.startsWith(u'['))
        throw EIniFileError(_("Not a valid INI key name: \"%1\"").arg(keyName).toStdString());
    if (HasLineBreak(value))
        throw EIniFileError(_("An INI value cannot hold a line break.").toStdString());

    if (const TSection *found = Find(sectionName)) {
        const auto line = found->KeyLines.constFind(Folded(keyName));
        if (line != found->KeyLines.cend()) {
            TLine &stored = fLines[*line];
            stored.Text = stored.Name + u'=' + value;
            stored.Value = value.trimmed();
            return;
        }
        const auto at = fLines.begin() + std::ptrdiff_t(found->LastLine + 1);
        fLines.insert(at, Parse(keyName + u'=' + value));
    } else {
        fLines.push_back(Parse(u'[' + sectionName + u']'));
        fLines.push_back(Parse(keyName + u'=' + value));
    }
    Reindex();
}

} // namespace talivo
