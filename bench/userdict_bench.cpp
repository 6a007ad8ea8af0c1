// Compiling user dictionaries of 10,000 lines into the user database.
#include "dict/userdict.h"
#include "frame/globdata.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

void SetField(TCHAR *field, const std::string &text) {
    size_t i = 0;
    for (; i < text.size(); i++)
        field[i] = text[i];
    field[i] = 0;
}

// Compiles the text that write() puts into the user dictionary, afresh
// each iteration.
template <class Writer> void CompileEach(benchmark::State &state, Writer write) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tavo-userdict-bench";
    std::filesystem::create_directories(dir);
    SetField(globData.windowsDir, dir.string());
    SetField(globData.systemDir, dir.string());
    SetField(globData.userDictFile, "bench.dic");
    SetField(globData.userDbFile, "bench.udb");
    {
        std::ofstream text(dir / "bench.dic", std::ios::binary);
        write(text);
    }
    for (auto _ : state) {
        std::filesystem::remove(dir / "bench.udb");
        UpdateUserDatabase();
    }
    std::filesystem::remove_all(dir);
}

// Readings of everyday shape, in no order.
void BM_CompileUserDictionary(benchmark::State &state) {
    CompileEach(state, [](std::ofstream &text) {
        for (int i = 0; i < 10000; i++)
            text << "jyut" << (i * 7919 % 100003) << "ping \xa7\x41\xa6\x6e \xa7\x41|x\r\n";
    });
}
BENCHMARK(BM_CompileUserDictionary)->Unit(benchmark::kMillisecond)->Iterations(5);

// The worst shape for a prefix tree: a, aa, aaa, ... each key a prefix of
// the next, so that every path is as deep as the dictionary is long (keys
// past the longest allowed, 8,191 bytes, are refused). Target: under 1 s.
void BM_CompileChainOfPrefixes(benchmark::State &state) {
    CompileEach(state, [](std::ofstream &text) {
        std::string key;
        for (int i = 0; i < 10000; i++) {
            key += 'a';
            text << key << " \xa7\x41\n";
        }
    });
}
BENCHMARK(BM_CompileChainOfPrefixes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
