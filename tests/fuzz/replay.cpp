// Replays through a fuzzer's own code every input of its corpus folder that once made it fail
// (files named "crash-*"), so that each such input stays a regression test in every build, the
// sanitizer build included. Usage: <replay> CORPUS_DIR; fails when there is no such input at all.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(argv[1], ec))
        if (entry.path().filename().string().rfind("crash-", 0) == 0) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "no crash-* inputs in %s\n", argv[1]);
        return 1;
    }
    // A failing input aborts the process (or the sanitizer reports it); its name is shown first.
    for (const auto& path : inputs) {
        std::fprintf(stderr, "replaying %s\n", path.filename().string().c_str());
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
