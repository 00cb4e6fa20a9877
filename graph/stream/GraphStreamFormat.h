#pragma once

#include "graph/stream/GraphProperties.h"
#include "platform/AtomicFile.h"

#include <cstdint>
#include <string_view>

// Vocabulary shared by the writer and the reader of graph streams.

namespace talivo {

// The tag byte in front of every value of a property stream.
enum TValueType : uint8_t {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaSet = 0x0B,
    vaLString = 0x0C,
    vaNil = 0x0D,
    vaCollection = 0x0E,
    vaSingle = 0x0F,
    vaCurrency = 0x10,
    vaDate = 0x11,
    vaWString = 0x12,
    vaInt64 = 0x13,
    vaUTF8String = 0x14,
    vaDouble = 0x15,
};

inline constexpr char GraphStreamSignature[4] = {'0', '.', 'G', 'S'};
inline constexpr char PropertyStreamSignature[4] = {'T', 'P', 'F', '0'};
inline constexpr std::string_view StreamCarrierClassName = "TGraphStreamableObject";
// Class names of object records are read into a buffer of this size.
inline constexpr int32_t MaxClassNameRecord = 256;

// The property a stream path names for an object whose own properties are in objectTable: the
// carrier's "ID", "Name", "Tag", "Left", "Top", or a path under "G.". Null when the path names
// nothing, or names a nested object instead of a value.
const TPropInfo *FindStreamProp(const TPropTable &objectTable, std::string_view path);

// Writes a graph file atomically (see WriteFileAtomically); a failure to create or write it is an
// EGraphStreamError that names the file.
void WriteGraphFile(const QString &fileName, const TFileContentWriter &write);
void WriteGraphFile(QSaveFile &file, const TFileContentWriter &write);

} // namespace talivo
