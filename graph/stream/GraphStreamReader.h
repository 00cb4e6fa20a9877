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
    explicit TGraphStreamReader(QIODevice &stream) : fStream(stream) {}

    // Exactly size bytes, or EGraphStreamError when the data ends first.
    QByteArray ReadBytes(int64_t size);
    int32_t ReadInt32();
    uint8_t ReadByte();
    std::string ReadShortName();
    // The class name of an object record (at most 255 characters).
    std::string ReadClassName();
    // A property stream as entries for TGraphObject::LoadFromEntries. table holds the properties
    // of the object the stream describes; a path it lacks fails.
    TPropEntries ReadPropertyStream(const TPropTable &table);
    // The same with the property of each path found by resolve (null: the path names nothing).
    TPropEntries
    ReadPropertyStream(const std::function<const TPropInfo *(std::string_view path)> &resolve);
    // The most object records the rest of the stream can hold; a count read from the stream is
    // only trusted up to this.
    int64_t MaxRecordsLeft() const;

private:
    // Exactly size bytes into data (a number's few bytes need no block of their own).
    void ReadExact(char *data, int64_t size);
    template <typename T> T ReadLittleEndian();
    TPropValue ReadValue(const TPropInfo &info, const std::string &path);
    int64_t ReadIntegerValue(uint8_t tag, bool allow64, const std::string &path);
    QString ReadStringValue(uint8_t tag, const std::string &path);
    // The member names of a vaSet, its tag already read.
    std::vector<std::string> ReadSetNames();

    QIODevice &fStream;
};

} // namespace talivo
