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
std::vector<TGraphObject *> MakeObjects(int N)
{
    static std::vector<char> Pool(kItems);
    std::vector<TGraphObject *> Objects(N);
    for (int I = 0; I < N; ++I) {
        Objects[I] = reinterpret_cast<TGraphObject *>(&Pool[I]);
    }
    return Objects;
}

void Fill(TGraphObjectList &List, const std::vector<TGraphObject *> &Objects)
{
    for (TGraphObject *Item : Objects) {
        List.Add(Item);
    }
}

void BM_Add(benchmark::State &State)
{
    const auto Objects = MakeObjects(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        TGraphObjectList List;
        Fill(List, Objects);
        benchmark::DoNotOptimize(List.Count());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_Add)->Arg(kItems)->Unit(benchmark::kMillisecond);

// Objects spread evenly from the bottom to the top of the z-order; the scan runs from the top.
void BM_IndexOf(benchmark::State &State)
{
    const int N = static_cast<int>(State.range(0));
    const auto Objects = MakeObjects(N);
    TGraphObjectList List;
    Fill(List, Objects);
    constexpr int kLookups = 100;
    for (auto _ : State) {
        for (int I = 0; I < kLookups; ++I) {
            benchmark::DoNotOptimize(List.IndexOf(Objects[I * (N / kLookups)]));
        }
    }
    State.SetItemsProcessed(State.iterations() * kLookups);
}
BENCHMARK(BM_IndexOf)->Arg(kItems)->Unit(benchmark::kMillisecond);

// Newest first is the cheap order: each lookup finds its object at the first step.
void BM_RemoveNewestFirst(benchmark::State &State)
{
    const auto Objects = MakeObjects(static_cast<int>(State.range(0)));
    TGraphObjectList List;
    for (auto _ : State) {
        State.PauseTiming();
        Fill(List, Objects);
        State.ResumeTiming();
        for (auto It = Objects.rbegin(); It != Objects.rend(); ++It) {
            List.Remove(*It);
        }
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_RemoveNewestFirst)->Arg(kItems)->Unit(benchmark::kMillisecond);

// A random order costs a scan and a shift of half the list on average per removal.
void BM_RemoveRandomOrder(benchmark::State &State)
{
    const auto Objects = MakeObjects(static_cast<int>(State.range(0)));
    auto Order = Objects;
    std::shuffle(Order.begin(), Order.end(), std::mt19937(12345));
    TGraphObjectList List;
    for (auto _ : State) {
        State.PauseTiming();
        Fill(List, Objects);
        State.ResumeTiming();
        for (TGraphObject *Item : Order) {
            List.Remove(Item);
        }
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_RemoveRandomOrder)->Arg(kItems)->Unit(benchmark::kMillisecond);

// A First/Next walk that removes every other object by reference, as an object deleting itself
// from the canvas does; the walk's position follows each deletion.
void BM_WalkDeletingEveryOther(benchmark::State &State)
{
    const auto Objects = MakeObjects(static_cast<int>(State.range(0)));
    TGraphObjectList List;
    for (auto _ : State) {
        State.PauseTiming();
        Fill(List, Objects);
        State.ResumeTiming();
        bool Drop = true;
        for (TGraphObject *Item = List.First(); Item; Item = List.Next()) {
            if (Drop) {
                List.Remove(Item);
            }
            Drop = !Drop;
        }
        State.PauseTiming();
        if (List.Count() != State.range(0) / 2) {
            State.SkipWithError("walk skipped or repeated objects");
        }
        List.Clear();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_WalkDeletingEveryOther)->Arg(kItems)->Unit(benchmark::kMillisecond);

} // namespace
