#pragma once

#include "graph/stream/GraphProperties.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace talivo {

// Reads graph streams front to back. The data is untrusted: every length and count is checked
// against what actually arrives, nothing is read past the data, no buffer is sized by a count
// before its bytes are there, and every fault raises EGraphStreamError.
class TGraphStreamReader {
public:
    explicit TGraphStreamReader(QIODevice &Stream) : fStream(Stream) {}

    // Exactly Size bytes, or EGraphStreamError when the data ends first.
    QByteArray ReadBytes(int64_t Size);
    int32_t ReadInt32();
    uint8_t ReadByte();
    std::string ReadShortName();
    // The class name of an object record (at most 255 characters).
    std::string ReadClassName();
    // A property stream as entries for TGraphObject::LoadFromEntries. Table holds the properties
    // of the object the stream describes; a path it lacks fails.
    TPropEntries ReadPropertyStream(const TPropTable &Table);
    // The same with the property of each path found by Resolve (null: the path names nothing).
    TPropEntries
    ReadPropertyStream(const std::function<const TPropInfo *(std::string_view Path)> &Resolve);
    // The most object records the rest of the stream can hold; a count read from the stream is
    // only trusted up to this.
    int64_t MaxRecordsLeft() const;

private:
    // Exactly Size bytes into Data (a number's few bytes need no block of their own).
    void ReadExact(char *Data, int64_t Size);
    template <typename T> T ReadLittleEndian();
    TPropValue ReadValue(const TPropInfo &Info, const std::string &Path);
    int64_t ReadIntegerValue(uint8_t Tag, bool Allow64, const std::string &Path);
    QString ReadStringValue(uint8_t Tag, const std::string &Path);
    // The member names of a vaSet, its tag already read.
    std::vector<std::string> ReadSetNames();

    QIODevice &fStream;
};

} // namespace talivo
