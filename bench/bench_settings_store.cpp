// Latency of reading and writing one value in a store that already holds
// about a thousand, for the memory store and the file store. File writes
// include both fsyncs, so their figure depends on the disk under TMPDIR.
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/FileSettingsStore.h"
#include "platform/MemorySettingsStore.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

constexpr int kKeys = 20;
constexpr int kValuesPerKey = 50;

std::string keyPath(int k) { return "Software\\Brenn\\tavix\\Bench\\Key" + std::to_string(k); }

void fill(SettingsStore& store) {
    for (int k = 0; k < kKeys; ++k)
        for (int v = 0; v < kValuesPerKey; ++v) {
            const std::string name = "Value" + std::to_string(v);
            if (v % 2)
                store.write(HKEY_LOCAL_MACHINE, keyPath(k), name, v);
            else
                store.write(HKEY_LOCAL_MACHINE, keyPath(k), name, "text of value " + name);
        }
}

struct Folder {
    fs::path path;
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "tgcl-bench-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void BM_MemoryRead(benchmark::State& state) {
    MemorySettingsStore store;
    fill(store);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.read(HKEY_LOCAL_MACHINE, keyPath(7), "Value33"));
}
BENCHMARK(BM_MemoryRead);

void BM_MemoryWrite(benchmark::State& state) {
    MemorySettingsStore store;
    fill(store);
    std::int32_t n = 0;
    for (auto _ : state) store.write(HKEY_LOCAL_MACHINE, keyPath(7), "Value33", ++n);
}
BENCHMARK(BM_MemoryWrite);

// The same store object reads again: the file is read and compared, not parsed.
void BM_FileRead(benchmark::State& state) {
    Folder folder;
    FileSettingsStore store(folder.path);
    fill(store);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.read(HKEY_LOCAL_MACHINE, keyPath(7), "Value33"));
}
BENCHMARK(BM_FileRead);

// A file another process has just replaced: read and parse in full.
void BM_FileReadAfterForeignChange(benchmark::State& state) {
    Folder folder;
    {
        FileSettingsStore writer(folder.path);
        fill(writer);
    }
    for (auto _ : state) {
        FileSettingsStore store(folder.path);
        benchmark::DoNotOptimize(store.read(HKEY_LOCAL_MACHINE, keyPath(7), "Value33"));
    }
}
BENCHMARK(BM_FileReadAfterForeignChange);

void BM_FileWrite(benchmark::State& state) {
    Folder folder;
    FileSettingsStore store(folder.path);
    fill(store);
    std::int32_t n = 0;
    for (auto _ : state) store.write(HKEY_LOCAL_MACHINE, keyPath(7), "Value33", ++n);
}
BENCHMARK(BM_FileWrite)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
