// Runs a fuzz target without libFuzzer: every file of the given folders, then a fixed set of
// mutations of each (truncations, flipped bytes, overwritten words), so that the readers meet
// hostile input on every test run and under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
// Set-up a target may want done once before the first input, as libFuzzer does it.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

void Run(const std::vector<uint8_t> &input)
{
    // A copy of exactly the input's size, so reads past the end hit the sanitizer.
    std::vector<uint8_t> exact(input);
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

void Mutate(const std::vector<uint8_t> &seed, std::mt19937 &random)
{
    for (size_t cut = 0; cut < seed.size(); cut += 1 + seed.size() / 64)
        Run(std::vector<uint8_t>(seed.begin(), seed.begin() + cut));
    if (seed.empty())
        return;
    static const uint32_t words[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> copy(seed);
        const size_t at = random() % copy.size();
        if (round % 2 == 0) {
            copy[at] ^= static_cast<uint8_t>(1u << (random() % 8));
        } else {
            const uint32_t word = words[random() % std::size(words)];
            for (size_t i = 0; i < 4 && at + i < copy.size(); ++i)
                copy[at + i] = static_cast<uint8_t>(word >> (8 * i));
        }
        Run(copy);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::mt19937 random(20261209);
    size_t seeds = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::is_directory(argv[i]))
            continue;
        for (const auto &entry : std::filesystem::directory_iterator(argv[i])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<uint8_t> seed((std::istreambuf_iterator<char>(file)),
                                            std::istreambuf_iterator<char>());
            Run(seed);
            Mutate(seed, random);
            ++seeds;
        }
    }
    Run({});
    std::printf("%zu seeds and their mutations ran\n", seeds);
    return 0;
}
