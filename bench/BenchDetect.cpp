// Automatic detection on pictures of the sizes microscope cameras deliver.
#include "detect/Detector.h"
#include "tests/pictures/SyntheticPictures.h"

#include <benchmark/benchmark.h>

namespace {

using namespace talivo;
using namespace talivo::test;

// Made once per process: drawing the pictures takes longer than detecting in them.
const TSyntheticPicture &Picture(int kind)
{
    static const TSyntheticPicture pictures[] = {
        DarkCellsOnUnevenLight({4000, 3000}, 2000, 18, 1),
        DarkCellsOnUnevenLight({6000, 4000}, 5000, 16, 2),
        StainedTissue({4000, 3000}, 2000, 18, 3),
        StainedTissue({6000, 4000}, 5000, 16, 4),
    };
    return pictures[kind];
}

void Detect(benchmark::State &state)
{
    const TSyntheticPicture &picture = Picture(int(state.range(0)));
    size_t found = 0;
    for (auto _ : state) {
        const TDetection detection = DetectObjects(picture.Image, {.Diameter = 2 * picture.Radius});
        found = detection.Objects.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["objects"] = double(picture.Centres.size());
    state.counters["found"] = double(found);
}
BENCHMARK(Detect)
    ->ArgName("picture")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
