#include "graph/objects/GraphObjectList.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <numeric>
#include <random>
#include <vector>

namespace {

using talivo::TGraphObject;
using talivo::TGraphObjectList;

constexpr int kItems = 100000;

// The list never dereferences its items, so addresses inside a buffer serve as distinct objects.
std::vector<TGraphObject *> MakeObjects(int n)
{
    static std::vector<char> pool(kItems);
    std::vector<TGraphObject *> objects(n);
    for (int i = 0; i < n; ++i)
        objects[i] = reinterpret_cast<TGraphObject *>(&pool[i]);
    return objects;
}

void Fill(TGraphObjectList &list, const std::vector<TGraphObject *> &objects)
{
    for (TGraphObject *item : objects)
        list.Add(item);
}

void BM_Add(benchmark::State &state)
{
    const auto objects = MakeObjects(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TGraphObjectList list;
        Fill(list, objects);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Add)->Arg(kItems)->Unit(benchmark::kMillisecond);

// Objects spread evenly from the bottom to the top of the z-order; the scan runs from the top.
void BM_IndexOf(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const auto objects = MakeObjects(n);
    TGraphObjectList list;
    Fill(list, objects);
    constexpr int kLookups = 100;
    for (auto _ : state) {
        for (int i = 0; i < kLookups; ++i)
            benchmark::DoNotOptimize(list.IndexOf(objects[i * (n / kLookups)]));
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_IndexOf)->Arg(kItems)->Unit(benchmark::kMillisecond);

// Newest first is the cheap order: each lookup finds its object at the first step.
void BM_RemoveNewestFirst(benchmark::State &state)
{
    const auto objects = MakeObjects(static_cast<int>(state.range(0)));
    TGraphObjectList list;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(list, objects);
        state.ResumeTiming();
        for (auto it = objects.rbegin(); it != objects.rend(); ++it)
            list.Remove(*it);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RemoveNewestFirst)->Arg(kItems)->Unit(benchmark::kMillisecond);

// A random order costs a scan and a shift of half the list on average per removal.
void BM_RemoveRandomOrder(benchmark::State &state)
{
    const auto objects = MakeObjects(static_cast<int>(state.range(0)));
    auto order = objects;
    std::shuffle(order.begin(), order.end(), std::mt19937(12345));
    TGraphObjectList list;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(list, objects);
        state.ResumeTiming();
        for (TGraphObject *item : order)
            list.Remove(item);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RemoveRandomOrder)->Arg(kItems)->Unit(benchmark::kMillisecond);

// A First/Next walk that removes every other object by reference, as an object deleting itself
// from the canvas does; the walk's position follows each deletion.
void BM_WalkDeletingEveryOther(benchmark::State &state)
{
    const auto objects = MakeObjects(static_cast<int>(state.range(0)));
    TGraphObjectList list;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(list, objects);
        state.ResumeTiming();
        bool drop = true;
        for (TGraphObject *item = list.First(); item; item = list.Next()) {
            if (drop)
                list.Remove(item);
            drop = !drop;
        }
        state.PauseTiming();
        if (list.Count() != state.range(0) / 2)
            state.SkipWithError("walk skipped or repeated objects");
        list.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WalkDeletingEveryOther)->Arg(kItems)->Unit(benchmark::kMillisecond);

} // namespace
