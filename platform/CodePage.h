#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace talivo {

// Windows-1252, the 8-bit code page of the program's files: text that older writers stored as
// 8-bit strings, and the export files that other Windows programs read.

// The bytes as text. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) become the C1 controls of the same number, as the system's conversion makes them.
QString FromWindows1252(QByteArrayView bytes);

// The code page's byte for the character (the undefined five included), or nothing when the code
// page lacks it.
std::optional<char> ToWindows1252(char32_t character);

} // namespace talivo
