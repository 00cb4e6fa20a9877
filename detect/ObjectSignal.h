#pragma once

#include "detect/DetectOptions.h"
#include "detect/ReducedPicture.h"

#include <opencv2/core.hpp>

#include <string>

namespace talivo {

// How a picture's channels make the one channel its objects are found in: a weighted sum of
// the channels, or of their optical densities, turned so that the objects are brighter than
// their surroundings.
struct TChannelRecipe {
    // What the channel is: "grey", "red", "green", "blue", or "stain 1" and "stain 2".
    std::string Name;
    // The weights of red, green and blue; a grey picture counts as three equal channels.
    cv::Vec3d Weights{1.0 / 3, 1.0 / 3, 1.0 / 3};
    // The weights apply to the optical densities -ln(value / Blank) rather than to the values.
    bool Density = false;
    cv::Vec3d Blank{1, 1, 1};
    // -1 turns dark objects bright.
    int Sign = 1;

    cv::Mat Apply(const TReducedPicture &picture) const;
};

// The channel in which a picture's objects stand out most.
struct TObjectSignal {
    TChannelRecipe Recipe;
    // The recipe applied to the reduced picture it was chosen for.
    cv::Mat Values;
    // Whether the objects are dark or bright in the picture itself.
    TObjectPolarity Polarity = opBright;
};

// Tries each channel of the picture (for a colour picture also its luminance and the two stains
// separated from its optical densities), each with the polarity the options ask for or, when
// they leave it open, the one its objects show, and keeps the channel whose objects of the
// radius (reduced pixels) stand out furthest from the rest.
TObjectSignal ChooseObjectSignal(const TReducedPicture &picture, double radius,
                                 TObjectPolarity polarity);

} // namespace talivo
