// Wall time of a whole write and a whole read against quorvex-cardsim on a pseudo terminal, with
// the real serial backend and the real clock, compared with the floor that the fixed pauses of a
// transfer set on their own. What the ratio shows beyond 1 is our overhead: byte handling,
// scheduling, the simulator's turnaround; and, behind a modelled line, what the line costs.
// Each line model (bench/line_models.h) is measured through the window's procedures and through
// quorvex-cli (its write with the read-back, and its read) as whole processes.
//
//   transfer_bench [--repeat N] [--model instant|1200|1200+16ms|1200+1ms|1200+uartN]
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/line_models.h"
#include "bench/run_process.h"
#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/text_set.h"
#include "link/clock.h"
#include "link/com_port.h"
#include "link/serial_line.h"
#include "procedures/read_from_box.h"
#include "procedures/transfer_seams.h"
#include "procedures/write_to_box.h"
#include "sim/sim_process.h"
#include "storage/kfg_file.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"

namespace {

using namespace quorvex;
using Seconds = std::chrono::duration<double>;

// 41 exchanges of eight 10 ms pauses each, plus the pauses around them.
constexpr double kWriteFloorSeconds = 41 * 0.080 + 0.100 + 0.150;
constexpr double kReadFloorSeconds = 41 * 0.080 + 0.050;
constexpr double kTargetRatio = 1.03;
// The command line's write reads the card back.
constexpr double kCliWriteFloorSeconds = kWriteFloorSeconds + kReadFloorSeconds;

struct Outcome {
  double seconds = 0;
  bool correct = false;
};

// The pauses of a transfer and nothing else, on the same clock: how much this machine stretches
// 328 short sleeps right now, which a transfer pays too and no code of ours can save.
double PausesOnly(Clock& clock, std::initializer_list<int> extraPauses) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 41 * 8; ++i) clock.Sleep(10);
  for (const int ms : extraPauses) clock.Sleep(ms);
  return Seconds(std::chrono::steady_clock::now() - start).count();
}

ConfigImage ReadImage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  ConfigImage image{};
  if (bytes.size() == image.size()) std::copy(bytes.begin(), bytes.end(), image.begin());
  return image;
}

class Bench {
 public:
  Bench() {
    ctx_.comPortNumber = 1;
    ctx_.texts = EnglishTextSet();
  }

  Outcome Write() {
    testing::FakeOperator op;
    MemoryPanel panel;
    testing::FillLists(panel);
    testing::FillKnownConfiguration(panel);
    const double seconds = Timed(panel, op, [](TransferSeams& s) { SendConfiguration(s); });
    // What the card holds is compared once it has stopped: it saves its image file off the reply
    // path.
    return {seconds, op.LastStatus() == ctx_.texts.written};
  }

  double WritePauses() { return PausesOnly(clock_, {50, 50, 150}); }
  double ReadPauses() { return PausesOnly(clock_, {50}); }

  Outcome Read() {
    testing::FakeOperator op;
    MemoryPanel panel;
    testing::FillLists(panel);
    const double seconds = Timed(panel, op, [](TransferSeams& s) { EmpfangenClick(s); });
    MemoryPanel expected;
    testing::FillLists(expected);
    testing::FillKnownConfiguration(expected);
    bool same = op.LastStatus() == ctx_.texts.loadedStart + " " + ctx_.texts.loadedEnd;
    for (int n = 1; n <= 8; ++n) {
      for (const char* stem : {"ComboBox", "EinheitBox", "Edit", "BereichEdit", "MessEdit"}) {
        same = same && panel.Text(ComponentName(stem, n)) == expected.Text(ComponentName(stem, n));
      }
    }
    return {seconds, same};
  }

 private:
  template <typename Transfer>
  double Timed(MemoryPanel& panel, testing::FakeOperator& op, Transfer transfer) {
    std::uint16_t registerAddress = 0;
    ComPort port(*ports_, clock_, op, ctx_);
    TransferSeams seams{panel, op, port, clock_, ctx_, registerAddress};
    const auto start = std::chrono::steady_clock::now();
    transfer(seams);
    return Seconds(std::chrono::steady_clock::now() - start).count();
  }

  std::unique_ptr<SerialPorts> ports_ = MakeSystemSerialPorts();
  SteadyClock clock_;
  AppContext ctx_;
};

// Prints the runs and returns their median's ratio to the floor.
double Report(const char* name, const std::vector<Outcome>& runs, const std::vector<double>& pauses,
              double floorSeconds) {
  std::vector<double> seconds;
  bool correct = true;
  for (const Outcome& run : runs) {
    seconds.push_back(run.seconds);
    correct = correct && run.correct;
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf("%-6s floor %.3f s  runs:", name, floorSeconds);
  for (const Outcome& run : runs) std::printf(" %.3f", run.seconds);
  std::printf("  best %.3f s (ratio %.4f)  median %.3f s (ratio %.4f)  target <= %.2f: %s%s\n",
              seconds.front(), seconds.front() / floorSeconds, median, median / floorSeconds,
              kTargetRatio, median / floorSeconds <= kTargetRatio ? "met" : "MISSED",
              correct ? "" : "  [WRONG RESULT]");
  std::vector<double> sortedPauses = pauses;
  std::sort(sortedPauses.begin(), sortedPauses.end());
  const double pausesMedian = sortedPauses[sortedPauses.size() / 2];
  std::printf(
      "%-6s pauses alone on this machine: median %.3f s (ratio %.4f); transfer beyond "
      "them: %+.0f ms\n",
      name, pausesMedian, pausesMedian / floorSeconds, (median - pausesMedian) * 1000);
  return median / floorSeconds;
}

// quorvex-cli as a script runs it: whole process, start to exit.
Outcome RunCli(const std::vector<std::string>& args) {
  const bench::ProcessRun run = bench::RunProcess(args);
  return {run.wall, run.code == 0};
}

double MedianRatio(const std::vector<Outcome>& runs, double floorSeconds) {
  std::vector<double> seconds;
  for (const Outcome& run : runs) seconds.push_back(run.seconds);
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2] / floorSeconds;
}

struct ModelFigures {
  std::string name;
  double write = 0, read = 0, cliWrite = 0, cliRead = 0;
};

// One line model: the window's write and read, then the command line's, `repeat` times each.
int MeasureModel(const bench::LineModelArgs& model, const std::string& folder, int repeat,
                 ModelFigures& figures) {
  const std::string imagePath = folder + "/card.kfg";
  const std::string knownPath = folder + "/known.kfg";
  WriteKfgImage(knownPath, testing::kKnownImage);
  std::filesystem::remove(imagePath);
  std::vector<std::string> args{"--com-dir", folder,  "--image",
                                imagePath,   "--log", folder + "/frames.log"};
  args.insert(args.end(), model.args.begin(), model.args.end());
  sim::SimProcess card(QUORVEX_CARDSIM_PATH, args);
  std::printf("-- %s (load %s)\n", model.name.c_str(), bench::Load().c_str());
  Bench bench;
  std::vector<Outcome> writes, reads, cliWrites, cliReads;
  std::vector<double> writePauses, readPauses;
  for (int i = 0; i < repeat; ++i) {
    writes.push_back(bench.Write());
    writePauses.push_back(bench.WritePauses());
    reads.push_back(bench.Read());
    readPauses.push_back(bench.ReadPauses());
    cliWrites.push_back(
        RunCli({QUORVEX_CLI_PATH, "write", "--port", "1", "--com-dir", folder, knownPath}));
    cliReads.push_back(RunCli({QUORVEX_CLI_PATH, "read", "--port", "1", "--com-dir", folder}));
  }
  const bool cardHoldsIt = card.Stop() == 0 && ReadImage(imagePath) == testing::kKnownImage;
  for (Outcome& run : writes) run.correct = run.correct && cardHoldsIt;
  figures.name = model.name;
  figures.write = Report("write", writes, writePauses, kWriteFloorSeconds);
  figures.read = Report("read", reads, readPauses, kReadFloorSeconds);
  figures.cliWrite = MedianRatio(cliWrites, kCliWriteFloorSeconds);
  figures.cliRead = MedianRatio(cliReads, kReadFloorSeconds);
  std::printf("cli    write + read-back ratio %.4f, read ratio %.4f (medians)\n", figures.cliWrite,
              figures.cliRead);
  int status = 0;
  for (const auto* runs : {&writes, &reads, &cliWrites, &cliReads}) {
    for (const Outcome& run : *runs) status |= run.correct ? 0 : 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 3;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--model") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else {
      std::fprintf(stderr,
                   "usage: %s [--repeat N] [--model instant|1200|1200+16ms|1200+1ms|1200+uartN]\n",
                   argv[0]);
      return 2;
    }
  }
  const std::vector<bench::LineModelArgs> models = bench::ChosenLineModels(only);
  if (models.empty()) {
    std::fprintf(stderr, "transfer_bench: no line model named %s\n", only.c_str());
    return 2;
  }

  std::string folder = (std::filesystem::temp_directory_path() / "quorvex-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  ::setenv("QUORVEX_COM_DIR", folder.c_str(), 1);
  int status = 0;
  std::vector<ModelFigures> table;
  try {
    for (const bench::LineModelArgs& model : models) {
      table.emplace_back();
      status |= MeasureModel(model, folder, repeat, table.back());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "transfer_bench: %s\n", e.what());
    status = 1;
  }
  std::printf("\nmedian ratio to the pause floor (%d runs each; load now %s)\n", repeat,
              bench::Load().c_str());
  std::printf("%-10s  %12s  %12s  %16s  %10s\n", "line", "window write", "window read",
              "cli write+back", "cli read");
  for (const ModelFigures& f : table) {
    std::printf("%-10s  %12.3f  %12.3f  %16.3f  %10.3f\n", f.name.c_str(), f.write, f.read,
                f.cliWrite, f.cliRead);
  }
  if (status != 0) std::printf("A RUN GAVE A WRONG RESULT\n");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
