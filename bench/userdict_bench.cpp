// Compiling a user dictionary of 10,000 lines into the user database.
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

void BM_CompileUserDictionary(benchmark::State &state) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tavo-userdict-bench";
    std::filesystem::create_directories(dir);
    SetField(globData.windowsDir, dir.string());
    SetField(globData.systemDir, dir.string());
    SetField(globData.userDictFile, "bench.dic");
    SetField(globData.userDbFile, "bench.udb");
    {
        std::ofstream text(dir / "bench.dic", std::ios::binary);
        for (int i = 0; i < 10000; i++)
            text << "jyut" << (i * 7919 % 100003) << "ping \xa7\x41\xa6\x6e \xa7\x41|x\r\n";
    }
    for (auto _ : state) {
        std::filesystem::remove(dir / "bench.udb");
        UpdateUserDatabase();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CompileUserDictionary)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
