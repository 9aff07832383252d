// Parser throughput on a large description, and what discovery costs over the bare work of
// listing the set folders and reading their descriptions.
#include "midi/Description.h"
#include "midi/InstrumentSets.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Lines of every kind the grammar knows, repeated to the wanted size.
std::string Description(std::size_t size) {
    static const char* const lines[] = {
        "// Ensemble bank for the background music\r\n",
        "instrument\t\"Studio Ensemble\"\r\n",
        "1\t\"ensemble.dls\"\t// melodic\r\n",
        "7th = \"brass section with a long descriptive value for the seventh slot\"\r\n",
        "31 \"kits.dls\"\r\n",
        "abc \"dropped: not a number\"\r\n",
        "2 \"http://dropped.example\"\r\n",
        "    \r\n",
    };
    std::string text;
    for (std::size_t i = 0; text.size() < size; ++i)
        text += lines[i % (sizeof lines / sizeof lines[0])];
    text.resize(size);
    return text;
}

void BM_ParseDescription(benchmark::State& state) {
    const std::string text = Description(1 << 20);
    std::vector<char> area(text.size() + 1);
    for (auto _ : state) {
        InstrumentSet record;
        benchmark::DoNotOptimize(ParseDescription(text.data(), text.size(), area.data(), record));
        benchmark::DoNotOptimize(record.name);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseDescription)->Unit(benchmark::kMicrosecond);

// A temporary folder with "MIDI" and 1,000 sets in it, made the current directory.
class SetFolder {
  public:
    static constexpr int Sets = 1000;

    SetFolder() {
        char pattern[] = "/tmp/kest-bench-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        root_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(root_);
        for (int i = 0; i < Sets; ++i) {
            const fs::path folder = fs::path("MIDI") / ("set" + std::to_string(i));
            fs::create_directories(folder);
            std::ofstream(folder / "program.txt", std::ios::binary)
                << "// bank " << i << "\r\ninstrument \"Set " << i
                << "\"\r\n1 \"melodic.dls\"\r\n2 \"drums.dls\"\r\n10 \"kits.dls\"\r\n";
        }
    }
    ~SetFolder() {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }

  private:
    fs::path root_;
    fs::path previous_;
};

// The least any discovery must do: list the folder and read every description whole.
std::size_t ListAndRead() {
    std::size_t bytes = 0;
    DIR* folder = opendir("MIDI");
    std::vector<char> buffer;
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.' || entry->d_type != DT_DIR)
            continue;
        const std::string path = std::string("MIDI/") + entry->d_name + "/program.txt";
        const int file = open(path.c_str(), O_RDONLY);
        if (file < 0)
            continue;
        struct stat status;
        fstat(file, &status);
        buffer.resize(static_cast<std::size_t>(status.st_size) + 1);
        bytes += static_cast<std::size_t>(read(file, buffer.data(), buffer.size() - 1));
        close(file);
    }
    closedir(folder);
    return bytes;
}

void BM_Discover1000Sets(benchmark::State& state) {
    SetFolder folder;
    for (auto _ : state) {
        RebuildInstrumentSets();
        FreeInstrumentSets();
    }
    state.SetItemsProcessed(state.iterations() * SetFolder::Sets);
}
BENCHMARK(BM_Discover1000Sets)->Unit(benchmark::kMillisecond);

void BM_ListAndRead1000Sets(benchmark::State& state) {
    SetFolder folder;
    for (auto _ : state)
        benchmark::DoNotOptimize(ListAndRead());
    state.SetItemsProcessed(state.iterations() * SetFolder::Sets);
}
BENCHMARK(BM_ListAndRead1000Sets)->Unit(benchmark::kMillisecond);

// Both, alternating, so that drift in the machine's load hits them alike; the time reported
// is discovery's, and "ratio" is discovery over the bare listing and reading.
void BM_DiscoveryOverBareCost(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    SetFolder folder;
    Clock::duration discovery{};
    Clock::duration bare{};
    for (auto _ : state) {
        const auto start = Clock::now();
        RebuildInstrumentSets();
        FreeInstrumentSets();
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(ListAndRead());
        const auto end = Clock::now();
        discovery += middle - start;
        bare += end - middle;
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
    }
    state.counters["ratio"] = static_cast<double>(discovery.count()) / bare.count();
}
BENCHMARK(BM_DiscoveryOverBareCost)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
