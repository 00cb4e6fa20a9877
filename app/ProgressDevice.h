#pragma once

#include "app/JobProgress.h"

#include <QFileDevice>

#include <algorithm>
#include <type_traits>
#include <utility>

namespace talivo {

// A device of the kind TDevice (a file, a save file, a buffer) that tells a job how far the work
// reading or writing it has come, and that refuses every read and write once the job is
// cancelled: a decoder, an encoder or a stream reader working through it stops at its next read
// or write, however long it would still have run. Reads report the share of the device read so
// far, or that it is unknown on a device without a size; writes, whose end nobody knows, report
// that it is unknown. Without a job it is the plain device.
template <class TDevice> class TProgressDevice : public TDevice {
public:
    template <class... TArgs>
    explicit TProgressDevice(TJobProgress *progress, TArgs &&...args)
        : TDevice(std::forward<TArgs>(args)...), fProgress(progress)
    {}

    // The device moves on by this much between two reports.
    static constexpr qint64 kReportBytes = 64 * 1024;
    // A file's larger read goes in steps of this size, so that a decoder taking a whole strip in
    // one read still stops soon. A file reads on from where its last read ended; other devices
    // read at the position the caller has reached, which moves only once the read returns, so
    // their reads are not split. Nor are those of a pipe, which would wait for more than the
    // caller needs.
    static constexpr qint64 kReadStep = 1024 * 1024;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const bool split = std::is_base_of_v<QFileDevice, TDevice> && !this->isSequential();
        qint64 done = 0;
        do {
            const qint64 step = split ? std::min(maxSize - done, kReadStep) : maxSize;
            if (!MayGoOn(step, [this] { return ReadFraction(); }))
                return -1;
            const qint64 got = TDevice::readData(data + done, step);
            if (got <= 0)
                return done > 0 ? done : got;
            done += got;
            fRead += got;
        } while (split && done < maxSize);
        return done;
    }

    qint64 writeData(const char *data, qint64 size) override
    {
        if (!MayGoOn(size, [] { return -1.0; }))
            return -1;
        return TDevice::writeData(data, size);
    }

private:
    // Reports once enough has moved since the last report; false once the job is cancelled.
    template <class TFraction> bool MayGoOn(qint64 bytes, TFraction fraction)
    {
        if (!fProgress)
            return true;
        if (fProgress->Cancelled())
            return false;
        fUnreported += bytes;
        if (fUnreported < kReportBytes)
            return true;
        fUnreported = 0;
        return fProgress->Proceed(fraction());
    }

    // The bytes read so far, not the position: a decoder may look at the header and seek back,
    // or find its directory at the end of the file first.
    double ReadFraction() const
    {
        const qint64 size = this->size();
        if (this->isSequential() || size <= 0)
            return -1;
        return std::min(1.0, double(fRead) / double(size));
    }

    TJobProgress *fProgress;
    qint64 fUnreported = 0;
    qint64 fRead = 0;
};

} // namespace talivo
