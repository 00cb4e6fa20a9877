#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <iterator>

namespace talivo {
namespace {

// The characters of the bytes 0x80 to 0x9F as the code page's own chart shows them; the five
// bytes it leaves open are their C1 controls.
const char16_t kHighCharacters[] = u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ";

TEST(Windows1252, EveryByteFrom0x80To0x9FHasItsCharacterBothWays)
{
    static_assert(std::size(kHighCharacters) == 32 + 1);
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        SCOPED_TRACE(byte);
        const char16_t character = kHighCharacters[byte - 0x80];
        EXPECT_EQ(FromWindows1252(QByteArray(1, char(byte))), QString(QChar(character)));
        EXPECT_EQ(ToWindows1252(character), std::optional<char>(char(byte)));
    }
}

TEST(Windows1252, OtherBytesAreTheirOwnCodePointsAndOtherCharactersHaveNoByte)
{
    for (int byte = 0; byte <= 0xFF; ++byte) {
        if (byte >= 0x80 && byte <= 0x9F)
            continue;
        EXPECT_EQ(FromWindows1252(QByteArray(1, char(byte))), QString(QChar(byte))) << byte;
        EXPECT_EQ(ToWindows1252(char32_t(byte)), std::optional<char>(char(byte))) << byte;
    }
    for (const char32_t character : {0x100u, 0x2000u, 0x20ADu, 0xFFFDu, 0x1F600u})
        EXPECT_EQ(ToWindows1252(character), std::nullopt) << uint32_t(character);
    EXPECT_EQ(FromWindows1252("\x80-Z\xE4hlung \x84Kerne\x93 \x96 gro\xDF"),
              QString::fromUtf8("€-Zählung „Kerne“ – groß"));
    EXPECT_EQ(FromWindows1252(QByteArrayView()), QString());
}

} // namespace
} // namespace talivo
