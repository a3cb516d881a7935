// The corpus of a fuzz target as an ordinary test: every file of the folders
// (or the files) named on the command line is fed once to the target's
// LLVMFuzzerTestOneInput, as libFuzzer replays a corpus. Needs no libFuzzer,
// so any compiler runs the inputs that once crashed or hung in every build.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else {
            inputs.push_back(path);
        }
    }
    std::sort(inputs.begin(), inputs.end()); // the same order on every machine
    if (inputs.empty()) {
        std::fprintf(stderr, "no corpus input found\n");
        return 1;
    }
    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes(
            (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
            return 1;
        }
        // A copy of exactly its size, so that a read past the end shows
        // under AddressSanitizer as it would under libFuzzer.
        std::vector<uint8_t> copy(bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
