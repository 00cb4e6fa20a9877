#include "app/ImageFile.h"

#include "app/ProgressDevice.h"
#include "i18n/Translation.h"
#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <new>

namespace talivo {

namespace {

// The encoded picture goes to its file in steps of this size, each a report to the job.
constexpr qsizetype kWriteStep = 4 << 20;

// Decoders that keep 16 bits per channel hold up to 8 bytes per pixel before any conversion.
constexpr int64_t kMaxDecodedBytesPerPixel = 8;

bool Fits(const QSize &size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return false;
    return int64_t(size.width()) * size.height() <= kMaxImageBytes / 4;
}

// Pictures up to this many pixels (at up to 8 bytes each) are read whatever their data.
constexpr int64_t kPixelsWithoutProof = int64_t(1) << 24;
// More pixels per byte of data than even a uniform picture reaches in any of the formats read
// (deflate stops near 1,000 bytes per byte, LZW near 10,000 pixels per byte).
constexpr int64_t kMaxPixelsPerByte = int64_t(1) << 14;

// Qt refuses pictures above 128 MB by default, which a single large micrograph exceeds; the
// limit is raised to what Fits admits, so the reader itself never stands in the way. It is
// lowered again to what dataBytes (-1: unknown) can describe: a GIF of a few bytes whose screen
// is made huge would otherwise have the decoder fill gigabytes, for seconds. Qt's GIF decoder
// does not tell the size before it allocates, so a check of the size alone would not catch it.
void SetAllocationLimit(qint64 dataBytes)
{
    int64_t pixels = kMaxImageBytes / 4;
    if (dataBytes >= 0)
        pixels =
            std::min(pixels, std::max<int64_t>(kPixelsWithoutProof, dataBytes * kMaxPixelsPerByte));
    QImageReader::setAllocationLimit(static_cast<int>(pixels * kMaxDecodedBytesPerPixel >> 20));
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

QImage ReadImageFile(const QString &fileName, TJobProgress *progress)
{
    TProgressDevice<QFile> file(progress, fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ReadImage(file);
}

QImage ReadImage(QIODevice &device)
{
    SetAllocationLimit(device.isSequential() ? -1 : device.size());
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

bool WriteImageFile(const QImage &image, const QString &fileName, TJobProgress *progress)
{
    const auto fail = [&](const QString &reason) {
        return EImageFileError(_("Cannot write \"%1\": %2").arg(fileName, reason).toStdString());
    };
    const auto cancelled = [progress] { return progress && progress->Cancelled(); };
    // Encoded in memory first: an encoder meeting a full disk reports it in its own words on
    // standard error, if at all, while the file reports the reason itself.
    QByteArray bytes;
    TProgressDevice<QBuffer> buffer(progress, &bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, EncoderFormat(EncoderForFileName(fileName)));
    const bool encoded = writer.write(image);
    if (cancelled())
        return false;
    if (!encoded)
        throw fail(writer.errorString());
    // A cancel leaves the temporary file uncommitted, and the old file stays.
    struct TCancelled {};
    try {
        WriteFileAtomically(
            fileName,
            [&](QIODevice &file) {
                for (qsizetype done = 0; done < bytes.size();) {
                    if (progress && !progress->Proceed(double(done) / double(bytes.size())))
                        throw TCancelled();
                    const qsizetype step = std::min(bytes.size() - done, kWriteStep);
                    if (file.write(bytes.constData() + done, step) != step)
                        return false;
                    done += step;
                }
                return true;
            },
            [&](TSaveStep, const QString &reason) {
                return std::make_exception_ptr(fail(reason));
            });
    } catch (const TCancelled &) {
        return false;
    }
    return true;
}

} // namespace talivo
