#pragma once

#include "platform/Prompter.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

class QIODevice;

namespace talivo {

class TJobProgress;

// A picture file that could not be written.
class EImageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TImageEncoder { ieBmp, ieJpeg, iePng, ieTiff };

// The largest picture accepted: its 32-bit form must stay within this many bytes, so that a file
// that merely claims a huge size is refused before anything is allocated for it.
inline constexpr int64_t kMaxImageBytes = int64_t(4) << 30;

// The type list of the picture open and save dialogs, translated.
std::vector<TFileFilter> ImageFileFilters();

// The picture in the file, decided by the content rather than the name; of a file with several
// pages or frames the first. A null image when the file cannot be read or decoded, or when the
// picture would not fit into memory. The decoders read the file as they decode it, so the share
// of the file read is the progress reported to the job; once the job is cancelled the next read
// fails, and with it the decoding.
QImage ReadImageFile(const QString &fileName, TJobProgress *progress = nullptr);
// The same for a picture read from a device open for reading.
QImage ReadImage(QIODevice &device);

// The encoding a file name asks for through its extension; BMP for any other name.
TImageEncoder EncoderForFileName(const QString &fileName);

// Writes the image in the encoding of the name's extension, replacing the file only once the new
// content is complete. EImageFileError when it cannot be written. Once the job is cancelled the
// encoding or writing stops and the file stays as it was; false then.
bool WriteImageFile(const QImage &image, const QString &fileName, TJobProgress *progress = nullptr);

} // namespace talivo
