#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace talivo {

// About count values of a floating-point picture, taken on an even grid over all of it.
std::vector<float> SampleValues(const cv::Mat &values, int count);

// The value below which the fraction of the values lies (0 the least, 1 the largest); 0 for no
// values.
float Quantile(std::vector<float> values, double fraction);

} // namespace talivo
