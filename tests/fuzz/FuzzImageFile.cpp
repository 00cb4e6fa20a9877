// fuzz-library: talivo_app
// Reads arbitrary bytes as a picture through the program's own reader: Qt's decoders (TIFF
// through the image-formats plugin) behind the program's size and allocation limits.
#include "app/ImageFile.h"

#include "tests/fuzz/FuzzSupport.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QImage image = talivo::ReadImage(buffer);
    // What the reader accepts is a whole picture within its limits.
    Require(image.isNull() ||
            int64_t(image.width()) * image.height() * 4 <= talivo::kMaxImageBytes);
    return 0;
}
