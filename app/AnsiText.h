#pragma once

#include <QByteArray>
#include <QString>

namespace talivo {

// The text encoded in Windows-1252, the way text files for other Windows programs are written:
// characters the code page lacks become '?', one byte per character.
QByteArray ToAnsiBytes(const QString &text);

// The text without the blanks and control characters (every code below U+0021) at either end.
// Unlike QString::trimmed, other Unicode spaces such as U+00A0 stay.
QString Trim(const QString &text);

// The text with each run of CR, LF and TAB made one blank. A description lives on one line of
// the group records, the default-groups file and the export, so a cell pasted from a
// spreadsheet must not break it.
QString SingleLine(const QString &text);

} // namespace talivo
