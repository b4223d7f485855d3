// The meter's per-tick work over the in-memory platform.
#include <benchmark/benchmark.h>

#include "fakes/fake_platform.h"
#include "meter/counter_table.h"

namespace vexmora {
namespace {

// One updateRatesAndTotals with its seven texts, on a running program whose
// watched row sees traffic every second.
void BM_MeterTick(benchmark::State& state) {
    fakes::FakeSystem system;
    system.seedUsableSettings();
    system.registry.putDword(fakes::FakeSystem::settingsKey, "记录", 1);
    system.registry.putDword(fakes::FakeSystem::settingsKey, "总流量", 1500);
    if (!system.start()) {
        state.SkipWithError("start-up ended the program");
        return;
    }
    Program& program = system.program;
    program.onMeterTick();
    CounterRecord& watched = program.state().counterTable[1];
    std::uint32_t step = 0;
    for (auto _ : state) {
        // Varying differences, so the texts change from tick to tick.
        watched.inOctets = static_cast<std::int32_t>(static_cast<std::uint32_t>(watched.inOctets) + 12636 + (step & 1023));
        watched.outOctets = static_cast<std::int32_t>(static_cast<std::uint32_t>(watched.outOctets) + 1536 + (step & 255));
        ++step;
        program.updateRatesAndTotals();
    }
    benchmark::DoNotOptimize(system.windows.labels);
}
BENCHMARK(BM_MeterTick);

void BM_ParseCounterTable64(benchmark::State& state) {
    fakes::Log log;
    fakes::FakeInterfaceTable table(log);
    for (std::int32_t k = 0; k < 64; ++k) table.rows.push_back({k * 1000003, -k * 7919});
    const std::vector<std::uint8_t> bytes = table.bytes();
    for (auto _ : state) {
        auto parsed = parseCounterTable(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(parsed);
    }
}
BENCHMARK(BM_ParseCounterTable64);

}  // namespace
}  // namespace vexmora

int main(int argc, char** argv) {
    benchmark::AddCustomContext("vexmora_build_type", VEXMORA_BENCH_BUILD_TYPE);
    if (VEXMORA_BENCH_SANITIZED)
        benchmark::AddCustomContext("vexmora_warning", "built with sanitizers: figures are not representative");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
