#pragma once

#include "detect/DetectOptions.h"
#include "detect/DetectedObject.h"

#include <opencv2/core.hpp>

namespace talivo {

// The response of a difference of Gaussians at the scale sigma and the next scale up: about
// sigma squared times the Laplacian of the signal blurred by sigma, turned round so that bright
// blobs respond positively. Scale-normalised, so responses at different scales compare.
cv::Mat BlobResponse(const cv::Mat &signal, double sigma);

// The spread of the values as a standard deviation would be for a normal distribution, measured
// by the median absolute deviation, so that a minority of outliers (objects) does not move it.
double RobustSpread(const cv::Mat &values);

// The noise of a single pixel of the signal, as a standard deviation.
double PixelNoise(const cv::Mat &signal);

// The clearest blobs of the radius, at most count of them, strongest first, with their raw
// responses as strength.
TDetectedObjects StrongestBlobs(const cv::Mat &signal, double radius, size_t count);

// The bright round objects of about the radius in a signal (pixels of the signal) whose pixels
// carry noise of the given spread, with the threshold the sensitivity sets, strongest first.
// Reports progress from the first to the second fraction.
TDetectedObjects FindBlobs(const cv::Mat &signal, double radius, double pixelNoise,
                           double sensitivity, const TProceed &proceed, double from, double to);

} // namespace talivo
