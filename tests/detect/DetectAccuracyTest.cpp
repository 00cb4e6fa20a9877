#include "detect/Detector.h"
#include "tests/pictures/SyntheticPictures.h"

#include <gtest/gtest.h>

namespace talivo::test {
namespace {

std::vector<QPointF> Centres(const TDetection &detection)
{
    std::vector<QPointF> centres;
    for (const TDetectedObject &object : detection.Objects)
        centres.emplace_back(object.X, object.Y);
    return centres;
}

// A proposal counts as right within half an object radius of a true centre, one to one.
TMatchScore Score(const TSyntheticPicture &picture, const TDetection &detection)
{
    return MatchCentres(picture.Centres, Centres(detection), picture.Radius / 2);
}

TDetection Detect(const TSyntheticPicture &picture, TObjectPolarity polarity = opAutomatic,
                  double sensitivity = kDefaultSensitivity)
{
    return DetectObjects(
        picture.Image,
        {.Diameter = 2 * picture.Radius, .Polarity = polarity, .Sensitivity = sensitivity});
}

struct TKind {
    const char *Name;
    TSyntheticPicture Picture;
    TObjectPolarity Polarity;
};

std::vector<TKind> Kinds()
{
    return {
        {"dark cells, uneven light", DarkCellsOnUnevenLight({800, 600}, 150, 10, 1), opDark},
        {"bright nuclei, pairs", BrightNucleiWithPairs({800, 600}, 130, 9, 2), opBright},
        {"crowded field", CrowdedField({600, 450}, 9, 3), opDark},
        {"16-bit grey", Grey16Objects({640, 480}, 120, 8, 4), opBright},
        {"stained tissue", StainedTissue({800, 600}, 120, 10, 5), opDark},
        {"small dark cells", DarkCellsOnUnevenLight({640, 480}, 200, 5, 6), opDark},
        {"large bright nuclei", BrightNucleiWithPairs({1200, 900}, 60, 24, 7), opBright},
    };
}

TEST(DetectAccuracy, FindsTheObjectsOfEveryKindOfPictureAndTellsDarkFromBright)
{
    for (const TKind &kind : Kinds()) {
        const TDetection detection = Detect(kind.Picture);
        const TMatchScore score = Score(kind.Picture, detection);
        EXPECT_GE(score.F1(), 0.95) << kind.Name << ": " << score.Hits << " right, "
                                    << score.FalseFinds << " wrong, " << score.Misses << " missed";
        EXPECT_EQ(detection.Polarity, kind.Polarity) << kind.Name;
    }
}

TEST(DetectAccuracy, SeparatesTheStainsWhereGreyLetsTheTissueThrough)
{
    const TSyntheticPicture stained = StainedTissue({800, 600}, 120, 10, 5);
    const TDetection detection = Detect(stained);
    EXPECT_EQ(detection.Channel.rfind("stain", 0), 0u) << detection.Channel;
    EXPECT_GE(Score(stained, detection).F1(), 0.95);

    // The same picture in grey: the tissue's lumps pass for nuclei.
    TSyntheticPicture grey = stained;
    grey.Image = stained.Image.convertToFormat(QImage::Format_Grayscale8);
    EXPECT_LT(Score(grey, Detect(grey)).F1(), 0.8);
}

TEST(DetectAccuracy, TakesFaintTextureForTextureHoweverMuchThereIs)
{
    // Without noise nothing but the clear cells' strength can tell them from the lumps.
    const TSyntheticPicture picture = FewCellsInFaintTexture({800, 600}, 12, 10, 9);
    ASSERT_EQ(picture.Centres.size(), 12u);
    const TMatchScore score = Score(picture, Detect(picture));
    EXPECT_EQ(score.Hits, 12);
    EXPECT_EQ(score.FalseFinds, 0);
}

TEST(DetectAccuracy, FollowsTheForcedPolarityAndTheSensitivity)
{
    const TSyntheticPicture cells = DarkCellsOnUnevenLight({800, 600}, 150, 10, 1);
    const TDetection bright = Detect(cells, opBright);
    EXPECT_EQ(bright.Polarity, opBright);
    EXPECT_LT(Score(cells, bright).Hits, 15);
    EXPECT_EQ(Detect(cells, opDark).Polarity, opDark);

    // Nuclei of a threefold range of brightness: the least sensitive setting keeps only the
    // brightest, the most sensitive adds specks of noise, the middle finds them all.
    const TSyntheticPicture nuclei = BrightNucleiWithPairs({800, 600}, 130, 9, 2);
    const size_t least = Detect(nuclei, opAutomatic, 0).Objects.size();
    const size_t middle = Detect(nuclei, opAutomatic, 50).Objects.size();
    const size_t most = Detect(nuclei, opAutomatic, 100).Objects.size();
    EXPECT_LT(least, middle);
    EXPECT_LE(middle, most);
    EXPECT_EQ(middle, nuclei.Centres.size());
}

TEST(DetectAccuracy, EstimatesTheObjectSizeFromThePicture)
{
    for (const TKind &kind : Kinds()) {
        const double diameter = EstimateDiameter(kind.Picture.Image);
        EXPECT_NEAR(diameter, 2 * kind.Picture.Radius, 0.3 * 2 * kind.Picture.Radius) << kind.Name;
    }
}

} // namespace
} // namespace talivo::test
