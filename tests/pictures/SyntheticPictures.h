#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>

#include <cstdint>
#include <vector>

namespace talivo::test {

// A generated micrograph and where its objects really are.
struct TSyntheticPicture {
    QImage Image;
    std::vector<QPointF> Centres;
    // The mean object radius the picture was drawn with, in pixels.
    double Radius = 0;
};

// Each kind is drawn from its seed alone, so a picture is the same on every machine.

// Dark cells on a light background whose light falls off by about a third towards one corner,
// with noise; 8-bit grey.
TSyntheticPicture DarkCellsOnUnevenLight(QSize size, int count, double radius, uint32_t seed);

// Bright nuclei on a dark background, their brightness varying by a factor of three, a third
// of them in touching pairs; 8-bit grey.
TSyntheticPicture BrightNucleiWithPairs(QSize size, int count, double radius, uint32_t seed);

// Dark cells of slightly varying size packed as densely as random placement allows, centres
// two mean radii apart: neighbours touch, some overlap, and they cover about half the picture.
TSyntheticPicture CrowdedField(QSize size, double radius, uint32_t seed);

// Bright objects a few hundred levels above the background of a 16-bit grey picture, as a
// 12-bit camera writes them.
TSyntheticPicture Grey16Objects(QSize size, int count, double radius, uint32_t seed);

// Nuclei stained with haematoxylin on tissue stained with eosin, whose texture has blobs of the
// nuclei's size that are as dark as the nuclei in a plain grey conversion; 32-bit colour.
TSyntheticPicture StainedTissue(QSize size, int count, double radius, uint32_t seed);

// A few dark cells among many times as many faint lumps of their size, on an even background
// without noise: the lumps are texture, not objects.
TSyntheticPicture FewCellsInFaintTexture(QSize size, int count, double radius, uint32_t seed);

// How well found centres match the true ones: one to one, a pair matching when they lie within
// the tolerance of each other, closest pairs first.
struct TMatchScore {
    int Hits = 0;
    int FalseFinds = 0;
    int Misses = 0;
    double F1() const;
};
TMatchScore MatchCentres(const std::vector<QPointF> &truth, const std::vector<QPointF> &found,
                         double tolerance);

} // namespace talivo::test
