// SPDX-License-Identifier: GPL-3.0-or-later
// LZH decoding speed on a mix shaped like the boot payload: two floppy images, text, a little
// noise. `bench_lzh_decode --write-mix FILE` writes the plain mix for bench/lzh_vs_gzip.sh.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "base/Streams.h"
#include "image/LZH.h"
#include "support/LZHReference.h"

namespace {

using namespace bootdisk;
using Bytes = std::vector<std::uint8_t>;

Bytes PayloadMix() {
    const std::string data = BOOTDISK_TEST_DATA;
    const Bytes floppy = ReadWholeFile(data + "/lzhuf/g_floppy_1440k.bin");
    const Bytes text = ReadWholeFile(data + "/lzhuf/e_text_gpl.bin");
    Bytes mix(floppy);
    // The second image holds the same sectors in reverse order.
    for (std::size_t sector = floppy.size() / 512; sector-- > 0;)
        mix.insert(mix.end(), floppy.begin() + std::ptrdiff_t(sector * 512),
                   floppy.begin() + std::ptrdiff_t(sector * 512 + 512));
    for (int i = 0; i < 5; ++i) mix.insert(mix.end(), text.begin(), text.end());
    std::mt19937 random(20050101);
    for (int i = 0; i < 64 * 1024; ++i) mix.push_back(std::uint8_t(random()));
    return mix;
}

Bytes Packed(const Bytes& plain) {
    TMemoryStream in(plain), out;
    LZHPack(in, out);
    auto bytes = out.Bytes();
    return {bytes.begin(), bytes.end()};
}

const Bytes& Mix() {
    static const Bytes mix = PayloadMix();
    return mix;
}

template <auto Unpack>
void Decode(benchmark::State& state) {
    const Bytes packed = Packed(Mix());
    TMemoryStream out;
    out.SetSize(Mix().size());
    for (auto _ : state) {
        TSpanStream in(packed);
        out.Rewind();
        Unpack(in, out, {}, kLZHNoLimit);
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    if (!std::equal(Mix().begin(), Mix().end(), out.Bytes().begin())) state.SkipWithError("wrong output");
    state.SetBytesProcessed(std::int64_t(state.iterations() * Mix().size()));
    state.counters["packed_bytes"] = double(packed.size());
}

// The product's table-driven decoder, and the classic tree walk it replaced.
void BM_LZHUnpack(benchmark::State& state) { Decode<LZHUnpack>(state); }
BENCHMARK(BM_LZHUnpack)->Unit(benchmark::kMillisecond);
void BM_LZHUnpackTreeWalk(benchmark::State& state) { Decode<test::LZHUnpackReference>(state); }
BENCHMARK(BM_LZHUnpackTreeWalk)->Unit(benchmark::kMillisecond);

void BM_MemcpyOfTheOutput(benchmark::State& state) {
    Bytes out(Mix().size());
    for (auto _ : state) {
        std::memcpy(out.data(), Mix().data(), out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * Mix().size()));
}
BENCHMARK(BM_MemcpyOfTheOutput)->Unit(benchmark::kMillisecond);

void BM_LZHPack(benchmark::State& state) {
    TMemoryStream out;
    for (auto _ : state) {
        TSpanStream in(Mix());
        out.Rewind();
        LZHPack(in, out);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * Mix().size()));
}
BENCHMARK(BM_LZHPack)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-mix") == 0) {
        TFileStream file(argv[2], FileMode::Create);
        file.WriteBuffer(Mix().data(), Mix().size());
        file.Close();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
