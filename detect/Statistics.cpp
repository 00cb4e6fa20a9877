#include "detect/Statistics.h"

#include <algorithm>
#include <cmath>

namespace talivo {

std::vector<float> SampleValues(const cv::Mat &values, int count)
{
    const int step = std::max(1, int(std::sqrt(double(values.total()) / std::max(count, 1))));
    std::vector<float> sample;
    sample.reserve(size_t(values.rows / step + 1) * (values.cols / step + 1));
    for (int y = 0; y < values.rows; y += step) {
        const float *line = values.ptr<float>(y);
        for (int x = 0; x < values.cols; x += step)
            sample.push_back(line[x]);
    }
    return sample;
}

float Quantile(std::vector<float> values, double fraction)
{
    if (values.empty())
        return 0;
    const auto at = values.begin() +
                    std::min(values.size() - 1, size_t(std::max(0.0, fraction) * values.size()));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

} // namespace talivo
