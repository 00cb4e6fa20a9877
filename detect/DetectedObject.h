#pragma once

#include <vector>

namespace talivo {

// The centre of an object found in a picture, in picture pixels (the centre of the top-left
// pixel is (0, 0)), and how clearly it stands out.
struct TDetectedObject {
    double X = 0;
    double Y = 0;
    double Strength = 0;
};

using TDetectedObjects = std::vector<TDetectedObject>;

} // namespace talivo
