// Emulated instructions per second on the compiled test programs: our
// interpreter, Unicorn without hooks and Unicorn with a per-instruction code hook.
// The closing lines give the geometric mean of each engine over the programs.
#include "core/cpu/program_image.h"

#include <benchmark/benchmark.h>
#include <unicorn/unicorn.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tw::test;

struct Program {
    std::string name;
    std::vector<uint8_t> image;
    uint64_t instructions = 0; // per run, from our interpreter
};

void ours(benchmark::State& state, const Program* program) {
    auto m = std::make_unique<BareCpu>();
    uint64_t total = 0;
    for (auto _ : state) {
        startProgram(*m, program->image);
        if (m->run(UINT64_MAX, kProgramHalt) != TW_RUN_STOP_PC) {
            state.SkipWithError(m->cpu.faultText);
            return;
        }
        total += m->cpu.instructionCount;
    }
    state.counters["insn/s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}

void countHook(uc_engine*, uint64_t, uint32_t, void* context) { ++*static_cast<uint64_t*>(context); }

void unicorn(benchmark::State& state, const Program* program, bool hooked) {
    auto m = std::make_unique<BareCpu>();
    startProgram(*m, program->image);
    uc_engine* uc = nullptr;
    if (uc_open(UC_ARCH_ARM, UC_MODE_THUMB, &uc) != UC_ERR_OK) {
        state.SkipWithError("uc_open");
        return;
    }
    uc_ctl_set_cpu_model(uc, UC_CPU_ARM_CORTEX_M3);
    uc_mem_map(uc, 0, kFlashSize, UC_PROT_ALL);
    uc_mem_map(uc, kRamBase, kRamSize, UC_PROT_ALL);
    uc_mem_write(uc, 0, m->flash.data(), m->flash.size());
    uint64_t hookCount = 0;
    uc_hook hook{};
    if (hooked) uc_hook_add(uc, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(countHook), &hookCount, 1, 0);
    uint64_t total = 0;
    for (auto _ : state) {
        uc_mem_write(uc, kRamBase, m->ram.data(), m->ram.size());
        for (int r = 0; r < 13; ++r) uc_reg_write(uc, UC_ARM_REG_R0 + r, &m->cpu.regs[r]);
        uc_reg_write(uc, UC_ARM_REG_SP, &m->cpu.regs[13]);
        uc_reg_write(uc, UC_ARM_REG_LR, &m->cpu.regs[14]);
        if (uc_emu_start(uc, m->cpu.regs[15] | 1, kProgramHalt, 0, 0) != UC_ERR_OK) {
            state.SkipWithError("uc_emu_start");
            break;
        }
        total += program->instructions;
    }
    uc_close(uc);
    state.counters["insn/s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}

// Whether a run ended without a measurement. Google Benchmark 1.8 replaced the run's
// error_occurred (1.7, Debian 12) with skipped (Debian 13 has 1.9).
template <class BenchmarkRun>
bool skippedRun(const BenchmarkRun& run) {
    if constexpr (requires { run.skipped; }) return bool(run.skipped);
    else return run.error_occurred;
}

// Prints the geometric mean of insn/s per engine after the usual table.
class MeanReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("insn/s");
            if (it == run.counters.end() || skippedRun(run)) continue;
            std::string name = run.benchmark_name();
            std::string engine = name.substr(0, name.find('/'));
            logs_[engine].push_back(std::log(double(it->second)));
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [engine, logs] : logs_) {
            double sum = 0;
            for (double l : logs) sum += l;
            std::printf("geometric mean %-16s %8.1f M instructions/s over %zu programs\n", engine.c_str(),
                        std::exp(sum / double(logs.size())) / 1e6, logs.size());
        }
    }

private:
    std::map<std::string, std::vector<double>> logs_;
};

} // namespace

int main(int argc, char** argv) {
    std::vector<std::unique_ptr<Program>> programs;
    for (const std::string& name : splitNames(TW_CPU_PROGRAMS))
        for (const char* level : {"O0", "O2", "Os"}) {
            auto p = std::make_unique<Program>();
            p->name = name + "_" + level;
            p->image = readProgram(std::string(TW_CPU_PROGRAM_DIR) + "/" + p->name + ".bin");
            auto m = std::make_unique<BareCpu>();
            if (!startProgram(*m, p->image) || m->run(UINT64_MAX, kProgramHalt) != TW_RUN_STOP_PC) {
                std::fprintf(stderr, "cannot run %s\n", p->name.c_str());
                return 1;
            }
            p->instructions = m->cpu.instructionCount;
            programs.push_back(std::move(p));
        }
    for (const auto& p : programs) {
        benchmark::RegisterBenchmark(("tarnwick/" + p->name).c_str(), ours, p.get())->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("unicorn/" + p->name).c_str(), unicorn, p.get(), false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("unicorn-hooked/" + p->name).c_str(), unicorn, p.get(), true)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    MeanReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
