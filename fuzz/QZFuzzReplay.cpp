// Runs a fuzz target once over each input given, for builds without libFuzzer
// (any compiler, with or without the sanitizers): the seeds and the inputs of
// past findings are replayed by the test suite this way. Arguments are files
// and folders; folders are read recursively in name order. Prints the number
// of inputs and the slowest one.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace fs = std::filesystem;

int main(int argc, char *argv[])
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given(argv[i]);
        if (fs::is_directory(given)) {
            for (const auto &entry : fs::recursive_directory_iterator(given))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else if (fs::is_regular_file(given)) {
            inputs.push_back(given);
        } else {
            std::fprintf(stderr, "skipping %s: no such file or folder\n", argv[i]);
        }
    }
    std::sort(inputs.begin(), inputs.end());

    double slowest = 0;
    std::string slowestName;
    for (const fs::path &input : inputs) {
        std::ifstream file(input, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        const auto start = std::chrono::steady_clock::now();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() > slowest) {
            slowest = took.count();
            slowestName = input.string();
        }
    }
    std::printf("%zu inputs; slowest %.3f s (%s)\n", inputs.size(), slowest, slowestName.c_str());
    return 0;
}
