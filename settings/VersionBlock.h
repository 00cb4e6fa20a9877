#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The version block in the layout of a Windows version resource (VS_VERSIONINFO): a fixed part
// with the numeric versions, a string table under one translation, and the translation table.
// Free of Qt, so the build-time generator can use it too.
namespace talivo {

struct TVersionString {
    std::u16string Key;
    std::u16string Value;
};

struct TVersionBlockContent {
    // Most significant part first: {2, 0, 10, 100} is 2.0.10.100.
    std::array<uint16_t, 4> FileVersion{};
    std::array<uint16_t, 4> ProductVersion{};
    uint16_t Language = 0x0409;
    uint16_t CodePage = 0x04E4;
    std::vector<TVersionString> Strings;
    // Leave out the translation table, for blocks that lack one.
    bool HasTranslation = true;
};

// The block's bytes as a resource compiler lays them out, 32-bit aligned from its first byte.
std::vector<uint8_t> BuildVersionBlock(const TVersionBlockContent &content);

// Finds the first version block in data (a program file, a bare block or anything else) and
// returns the string stored under key in the string table named by the first entry of the
// translation table. Empty when there is no block, no translation table, no such table or key,
// or the value is empty. Every read is bounds-checked: data may be hostile.
std::u16string FindVersionString(const uint8_t *data, size_t size, std::u16string_view key);

} // namespace talivo
