// How long the COM port dialog's sweep takes: MakeSystemSerialPorts()->Probe(n) (open, lock,
// close), for n = 1 to 255. Once with QUORVEX_COM_DIR pointing at a folder that holds only a live
// COM1 (the simulator), once without it, where the ports resolve to /dev/ttyS<n-1>. XDG_CONFIG_HOME
// points at an empty folder in both, so the user's own port links do not take part.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "link/port_names.h"
#include "link/serial_line.h"
#include "sim/sim_process.h"

namespace {

void ProbeAllPorts(benchmark::State& state, const std::string& comDir) {
  if (comDir.empty()) {
    ::unsetenv("QUORVEX_COM_DIR");
  } else {
    ::setenv("QUORVEX_COM_DIR", comDir.c_str(), 1);
  }
  const auto ports = quorvex::MakeSystemSerialPorts();
  int available = 0;
  for (auto _ : state) {
    available = 0;
    for (int n = quorvex::kFirstComPort; n <= quorvex::kLastComPort; ++n) {
      if (ports->Probe(n)) ++available;
    }
  }
  state.counters["available"] = available;
  state.counters["per_port"] = benchmark::Counter(
      quorvex::kLastComPort - quorvex::kFirstComPort + 1,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string folder = (std::filesystem::temp_directory_path() / "quorvex-probe-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string config = folder + "/config";
  const std::string ports = folder + "/ports";
  std::filesystem::create_directory(config);
  std::filesystem::create_directory(ports);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  int status = 0;
  try {
    quorvex::sim::SimProcess card(QUORVEX_CARDSIM_PATH,
                                  {"--com-dir", ports, "--log", folder + "/frames.log"});
    benchmark::RegisterBenchmark("ProbeAllPorts/com_dir_with_COM1", ProbeAllPorts, ports)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ProbeAllPorts/dev_ttyS", ProbeAllPorts, std::string())
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "port_probe_bench: %s\n", e.what());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
