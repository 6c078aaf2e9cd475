// SHA-256 throughput and the time to load and identify a firmware image of the
// largest size (245,760 bytes: about 123,000 anchor windows hashed).
#include "core/synthetic_firmware.h"
#include "core/tw.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace tw {

namespace {

std::vector<uint8_t> randomBytes(size_t size) {
    std::mt19937 random(1);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = uint8_t(random());
    return bytes;
}

void BM_Sha256(benchmark::State& state) {
    const auto bytes = randomBytes(size_t(state.range(0)));
    uint8_t digest[32];
    for (auto _ : state) {
        tw_sha256(bytes.data(), bytes.size(), digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Sha256)->Arg(16)->Arg(4096)->Arg(1 << 20);

void BM_LoadAndIdentify(benchmark::State& state) {
    tw::test::FingerprintScope scope;
    std::vector<uint8_t> image;
    switch (state.range(0)) {
    case 16: image = tw::test::hp16cImage(true, tw::test::kLargestFirmware); break;
    case 99: image = tw::test::multiModelImage(tw::test::kLargestFirmware); break;
    default: image = tw::test::hp15cImage(tw::test::kLargestFirmware); break;
    }
    tw_machine* m = tw_create();
    for (auto _ : state) {
        if (tw_load_firmware(m, image.data(), image.size()) != TW_OK) state.SkipWithError("not identified");
        uint32_t models[4];
        benchmark::DoNotOptimize(tw_firmware_models(m, models, 4));
        benchmark::DoNotOptimize(tw_model_code(m));
    }
    tw_destroy(m);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.size()));
}
BENCHMARK(BM_LoadAndIdentify)->Arg(15)->Arg(16)->Arg(99)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace tw
