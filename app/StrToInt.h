#pragma once

#include <QString>
#include <stdexcept>

namespace talivo {

// Text that is not an integer where one is required.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The integer written in the text: decimal with an optional sign, or hexadecimal behind "$" or
// "0x". Leading blanks are skipped; anything after the digits, or a decimal value outside the
// 32-bit range, throws EConvertError. Hexadecimal takes all 32 bits, so "$FFFFFFFF" is -1, the
// way colours are written.
int StrToInt(const QString &text);

} // namespace talivo
