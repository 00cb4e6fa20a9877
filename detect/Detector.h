#pragma once

#include "detect/DetectOptions.h"
#include "detect/DetectedObject.h"

#include <QImage>
#include <string>

namespace talivo {

// What a detection found, and what it decided on the way.
struct TDetection {
    TDetectedObjects Objects;
    // Dark or bright: what the options asked for, or what the picture showed.
    TObjectPolarity Polarity = opBright;
    // The channel the objects were found in (see TObjectSignal).
    std::string Channel;
};

// Finds the round objects of about the diameter in the picture (8- or 16-bit grey, or colour):
// the maxima of a scale-normalised difference-of-Gaussians response over scales around the
// objects' size, no two closer than a radius, above a threshold that the sensitivity lowers.
// Strongest objects first. EDetectionCancelled when proceed asks to stop.
TDetection DetectObjects(const QImage &picture, const TDetectOptions &options,
                         const TProceed &proceed = {});

// The typical diameter of the round objects in the picture, in picture pixels: the size at which
// the clearest blobs of the picture's luminance, dark or bright, answer most strongly, tried
// from 6 pixels to a sixth of the picture's shorter side in steps of a fourth of an octave.
// The smallest size tried for a picture too small to try any.
double EstimateDiameter(const QImage &picture, const TProceed &proceed = {});

} // namespace talivo
