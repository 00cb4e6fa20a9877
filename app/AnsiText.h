#pragma once

#include <QByteArray>
#include <QString>

namespace talivo {

// The text as it comes back from a round trip through the Windows-1252 code page: characters
// the code page lacks become '?', one per character (a surrogate pair counts as one).
QString ThroughAnsiCodePage(const QString &text);

// The text encoded in Windows-1252, the way text files for other Windows programs are written:
// characters the code page lacks become '?', one byte per character.
QByteArray ToAnsiBytes(const QString &text);

// The text without the blanks and control characters (every code below U+0021) at either end.
// Unlike QString::trimmed, other Unicode spaces such as U+00A0 stay.
QString Trim(const QString &text);

} // namespace talivo
