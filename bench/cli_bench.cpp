// quorvex-cli as a script runs it, whole process start to exit:
//   - `write` with its read-back against quorvex-cardsim, wall time against the floor that the
//     fixed pauses of a write and a read set (3.53 s + 3.33 s); goal: at most 1.03 times that;
//   - `show` of a .KFG file, median and spread over many runs; goal: median at most 5 ms.
//
//   cli_bench [--writes N] [--shows N]
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/run_process.h"
#include "sim/sim_process.h"
#include "storage/kfg_file.h"
#include "tests/support/panel_setup.h"

namespace {

using Seconds = std::chrono::duration<double>;
constexpr double kFloorSeconds = (41 * 0.080 + 0.100 + 0.150) + (41 * 0.080 + 0.050);
constexpr double kWriteRatioGoal = 1.03;
constexpr double kShowGoalMs = 5.0;

// Its exit code and the wall time it took.
std::pair<int, double> Time(const std::vector<std::string>& args) {
  const quorvex::bench::ProcessRun run = quorvex::bench::RunProcess(args);
  return {run.code, run.wall};
}

int Count(int argc, char** argv, const char* flag, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) return std::max(1, std::atoi(argv[i + 1]));
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const int writes = Count(argc, argv, "--writes", 3);
  const int shows = Count(argc, argv, "--shows", 200);
  std::string folder =
      (std::filesystem::temp_directory_path() / "quorvex-cli-bench-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 1;
  const std::string file = folder + "/known.kfg";
  quorvex::WriteKfgImage(file, quorvex::testing::kKnownImage);

  bool ok = true;
  {
    quorvex::sim::SimProcess sim(QUORVEX_CARDSIM_PATH, {"--com-dir", folder, "--port", "1"});
    std::vector<double> times;
    for (int i = 0; i < writes; ++i) {
      const auto [code, seconds] =
          Time({QUORVEX_CLI_PATH, "write", "--port", "1", "--com-dir", folder, file});
      if (code != 0) {
        std::printf("write run %d failed with exit code %d\n", i + 1, code);
        ok = false;
      }
      times.push_back(seconds);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf(
        "write + read-back: median %.3f s, best %.3f s, worst %.3f s over %d runs; "
        "floor %.2f s; ratio %.4f (goal <= %.2f)\n",
        median, times.front(), times.back(), writes, kFloorSeconds, median / kFloorSeconds,
        kWriteRatioGoal);
    ok = ok && median / kFloorSeconds <= kWriteRatioGoal;
  }
  {
    std::vector<double> times;
    for (int i = 0; i < shows; ++i) {
      const auto [code, seconds] = Time({QUORVEX_CLI_PATH, "show", file});
      if (code != 0) ok = false;
      times.push_back(seconds * 1000.0);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf(
        "show, process start to exit: median %.2f ms, 10th %.2f ms, 90th %.2f ms over %d "
        "runs (goal: median <= %.1f ms)\n",
        median, times[times.size() / 10], times[times.size() * 9 / 10], shows, kShowGoalMs);
    ok = ok && median <= kShowGoalMs;
  }
  std::filesystem::remove_all(folder);
  return ok ? 0 : 1;
}
