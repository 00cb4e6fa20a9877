#include "app/ImageFile.h"

#include "i18n/Translation.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <new>

namespace talivo {

namespace {

// Decoders that keep 16 bits per channel hold up to 8 bytes per pixel before any conversion.
constexpr int64_t kMaxDecodedBytesPerPixel = 8;

bool Fits(const QSize &size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return false;
    return int64_t(size.width()) * size.height() <= kMaxImageBytes / 4;
}

// Qt refuses pictures above 128 MB by default, which a single large micrograph exceeds; the
// limit is raised to what Fits admits, so the reader itself never stands in the way.
void RaiseAllocationLimit()
{
    QImageReader::setAllocationLimit(
        static_cast<int>(kMaxImageBytes / 4 * kMaxDecodedBytesPerPixel >> 20));
}

const char *EncoderFormat(TImageEncoder encoder)
{
    switch (encoder) {
    case ieJpeg:
        return "jpeg";
    case iePng:
        return "png";
    case ieTiff:
        return "tiff";
    case ieBmp:
        break;
    }
    return "bmp";
}

} // namespace

std::vector<TFileFilter> ImageFileFilters()
{
    return {
        {_("All (*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.tif;*.tiff)"),
         "*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.tif;*.tiff"},
        {_("GIF Image (*.gif)"), "*.gif"},
        {_("JPEG Image (*.jpg)"), "*.jpg"},
        {_("JPEG Image (*.jpeg)"), "*.jpeg"},
        {_("Portable Network Graphics (*.png)"), "*.png"},
        {_("Bitmaps (*.bmp)"), "*.bmp"},
        {_("TIFF Image (*.tif)"), "*.tif"},
        {_("TIFF Image (*.tiff)"), "*.tiff"},
    };
}

QImage ReadImageFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ReadImage(file);
}

QImage ReadImage(QIODevice &device)
{
    RaiseAllocationLimit();
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    // Most decoders know the size from the header: a picture too large is refused before its
    // pixels are allocated.
    const QSize announced = reader.size();
    if (announced.isValid() && !Fits(announced))
        return {};
    QImage image;
    try {
        if (!reader.read(&image))
            return {};
    } catch (const std::bad_alloc &) {
        return {};
    }
    if (!Fits(image.size()))
        return {};
    return image;
}

TImageEncoder EncoderForFileName(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == "jpg" || suffix == "jpeg")
        return ieJpeg;
    if (suffix == "png")
        return iePng;
    if (suffix == "tif" || suffix == "tiff")
        return ieTiff;
    return ieBmp;
}

void WriteImageFile(const QImage &image, const QString &fileName)
{
    const auto fail = [&](const QString &reason) {
        return EImageFileError(_("Cannot write \"%1\": %2").arg(fileName, reason).toStdString());
    };
    // Encoded in memory first: an encoder meeting a full disk reports it in its own words on
    // standard error, if at all, while the file reports the reason itself.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, EncoderFormat(EncoderForFileName(fileName)));
    if (!writer.write(image))
        throw fail(writer.errorString());
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw fail(file.errorString());
}

} // namespace talivo
