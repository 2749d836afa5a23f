// In-process cost of loading a save and writing a patched copy, by file size.
// The whole-process comparison with cat and dd is bench/compare_with_system.py.

#include "core/ApplyChanges.h"
#include "core/SaveGameLoader.h"
#include "tools/savegen/SaveGen.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string folder() {
    static const std::string path = [] {
        std::string pattern = "/tmp/varnholt-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return path;
}

std::string saveOfSize(std::int64_t size) {
    const std::string path = folder() + "/save" + std::to_string(size) + ".sav";
    if (::access(path.c_str(), F_OK) != 0) {
        varnholt::savegen::SaveSpec spec = varnholt::savegen::specForRelease("1.5");
        spec.anchorGap = 1000;
        spec.size = static_cast<std::uint64_t>(size);
        varnholt::savegen::writeSave(path, spec);
    }
    return path;
}

void loadSave(benchmark::State& state) {
    const std::string path = saveOfSize(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(varnholt::loadSaveGame(path));
}

void applyAllGroups(benchmark::State& state) {
    const std::string path = saveOfSize(state.range(0));
    const varnholt::LoadResult loaded = varnholt::loadSaveGame(path);
    if (!loaded.succeeded())
        std::abort();
    const varnholt::SaveGameInfo info = varnholt::infoAfter(loaded, {});
    const varnholt::EditRequest request{
        1,     1,  true,
        false, 40, varnholt::YearAndSeason{270, varnholt::Era::BC, varnholt::Season::Summer}};
    const std::string output = folder() + "/out.sav";
    for (auto _ : state)
        if (!varnholt::applyChanges(path, output, loadedLayout(info), request).written)
            std::abort();
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(loadSave)->Arg(64 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(applyAllGroups)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(64 << 20)
    ->Unit(benchmark::kMillisecond);
