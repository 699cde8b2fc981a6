// Many cards at once, against quorvex-cardsim on eight pseudo terminals:
//   - speed: `write` with read-back to all eight at once against one card alone, as whole
//     processes in the same run; goal: the eight's wall time at most 1.05 times one card's.
//     Also CPU time per card and the process's peak RSS. Measured behind each line model of
//     line_models.h (or the one --model names), with both as ratios to the pause floor.
//   - soak: ROUNDS rounds of an eight-card write, run in this process (so that a leaked
//     descriptor shows here), each simulator started with a random fault or none, while a CPU hog
//     keeps both cores busy. Every card must end exact (the simulator's image, read once it has
//     stopped, equals the file) or as a reported failure with the right exit code.
//
//   batch_bench [--runs N] [--rounds N] [--seed N] [--no-hog] [--model NAME]
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/line_models.h"
#include "bench/run_process.h"
#include "cli/commands.h"
#include "sim/sim_process.h"
#include "storage/kfg_file.h"
#include "tests/support/panel_setup.h"

extern char** environ;

namespace {

using quorvex::bench::Load;
using quorvex::bench::ProcessRun;
using quorvex::bench::RunProcess;
using Seconds = std::chrono::duration<double>;
constexpr int kCards = 8;
constexpr double kRatioGoal = 1.05;
// The fixed pauses of a write and its read-back.
constexpr double kFloorSeconds = (41 * 0.080 + 0.100 + 0.150) + (41 * 0.080 + 0.050);

int Arg(int argc, char** argv, const char* flag, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) return std::atoi(argv[i + 1]);
  }
  return fallback;
}

bool Flag(int argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) return true;
  }
  return false;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Eight cards against one, alternating, `runs` times each, behind the given line.
bool MeasureSpeed(const std::string& folder, const std::string& file, int runs,
                  const quorvex::bench::LineModelArgs& model) {
  std::vector<std::unique_ptr<quorvex::sim::SimProcess>> sims;
  for (int n = 1; n <= kCards; ++n) {
    std::vector<std::string> args{"--com-dir", folder,
                                  "--port",    std::to_string(n),
                                  "--log",     folder + "/speed" + std::to_string(n) + ".log"};
    args.insert(args.end(), model.args.begin(), model.args.end());
    sims.push_back(std::make_unique<quorvex::sim::SimProcess>(QUORVEX_CARDSIM_PATH, args));
  }
  std::printf("speed, line %s: load before %s\n", model.name.c_str(), Load().c_str());
  std::vector<double> one, eight, cpuOne, cpuEight;
  long rssOne = 0, rssEight = 0;
  bool ok = true;
  for (int i = 0; i < runs; ++i) {
    const ProcessRun a =
        RunProcess({QUORVEX_CLI_PATH, "write", "--com-dir", folder, "--port", "1", file});
    const ProcessRun b =
        RunProcess({QUORVEX_CLI_PATH, "write", "--com-dir", folder, "--port", "1-8", file});
    ok = ok && a.code == 0 && b.code == 0;
    one.push_back(a.wall);
    eight.push_back(b.wall);
    cpuOne.push_back(a.cpu);
    cpuEight.push_back(b.cpu / kCards);
    rssOne = std::max(rssOne, a.maxRssKb);
    rssEight = std::max(rssEight, b.maxRssKb);
  }
  const double ratio = Median(eight) / Median(one);
  std::printf(
      "speed: one card %.3f s, eight cards %.3f s (medians of %d); ratio %.4f (goal <= %.2f)\n",
      Median(one), Median(eight), runs, ratio, kRatioGoal);
  std::printf("speed: to the pause floor of %.2f s: one card %.4f, eight cards %.4f\n",
              kFloorSeconds, Median(one) / kFloorSeconds, Median(eight) / kFloorSeconds);
  std::printf(
      "speed: CPU per card %.1f ms alone, %.1f ms of eight; peak RSS %ld KiB alone, %ld KiB for "
      "eight\n",
      Median(cpuOne) * 1000, Median(cpuEight) * 1000, rssOne, rssEight);
  std::printf("speed: load after %s; %s\n", Load().c_str(),
              ok ? "every run exit code 0" : "A RUN FAILED");
  return ok && ratio <= kRatioGoal;
}

struct Fault {
  std::string name;
  std::vector<std::string> args;
};

// None, or one of the simulator's faults with a random strength: some a transfer survives (a
// few bad check bytes, a short delay, a late hang-up), most it does not.
Fault RandomFault(std::mt19937& rng) {
  auto pick = [&](int low, int high) {
    return std::to_string(std::uniform_int_distribution<int>(low, high)(rng));
  };
  switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
    case 1:
      return {"silent", {"--silent"}};
    case 2:
      return {"bad-check", {"--bad-check", pick(1, 70)}};
    case 3: {
      const std::string a = pick(0, 40);
      return {"drop-register", {"--drop-register", rng() % 2 == 0 ? a : a + ":1"}};
    }
    case 4:
      return {"delay", {"--delay", pick(0, 400)}};
    case 5:
      return {"hangup-after", {"--hangup-after", pick(0, 90)}};
    default:
      return {"none", {}};
  }
}

struct Tally {
  int transfers = 0;
  int exact = 0;
  int exactButReportedFailed = 0;
  int reportedFailures = 0;
  int wrongSuccesses = 0;
  int wrongExitCodes = 0;
  int failuresWithoutFault = 0;
  int leakedDescriptors = 0;
  int portsLeftHeld = 0;
};

int OpenDescriptors() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (dirent* e = readdir(d)) count += e->d_name[0] != '.';
    closedir(d);
  }
  return count - 1;  // the listing's own
}

// Whether someone still holds COM n's lock (the port is not free for the next program).
bool PortHeld(const std::string& link) {
  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;  // gone with its simulator
  const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
  close(fd);
  return held;
}

// The card exit codes from --json's lines, by port number.
std::vector<int> CardCodes(const std::string& out) {
  std::vector<int> codes(kCards + 1, -1);
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    const auto card = nlohmann::json::parse(line, nullptr, false);
    if (card.is_discarded() || !card.contains("port")) continue;
    const int n = std::atoi(card["port"].get<std::string>().c_str() + 3);
    if (n >= 1 && n <= kCards) codes[static_cast<std::size_t>(n)] = card["exit_code"].get<int>();
  }
  return codes;
}

void Judge(int code, bool exact, const Fault& fault, Tally& t) {
  ++t.transfers;
  const bool failureCode = code == 1 || code == 3 || code == 4;
  if (code == 0 && exact) ++t.exact;
  if (code == 0 && !exact) ++t.wrongSuccesses;
  if (code != 0 && failureCode) ++t.reportedFailures;
  if (code != 0 && exact) ++t.exactButReportedFailed;
  // "Differs" must be true, and nothing but 0, 1, 3 and 4 is a card's answer here.
  if ((code == 1 && exact) || (code != 0 && !failureCode)) ++t.wrongExitCodes;
  if (code != 0 && fault.name == "none") ++t.failuresWithoutFault;
}

std::vector<Fault> StartCards(const std::string& folder, std::mt19937& rng,
                              std::vector<std::unique_ptr<quorvex::sim::SimProcess>>& sims) {
  std::vector<Fault> faults;
  for (int n = 1; n <= kCards; ++n) {
    const std::string image = folder + "/card" + std::to_string(n) + ".kfg";
    std::string bytes(quorvex::kConfigImageSize, '\0');
    for (char& b : bytes) b = static_cast<char>(rng() & 0xFF);
    std::ofstream(image, std::ios::binary | std::ios::trunc) << bytes;
    faults.push_back(RandomFault(rng));
    std::vector<std::string> args{
        "--com-dir", folder, "--port", std::to_string(n),
        "--image",   image,  "--log",  folder + "/sim" + std::to_string(n) + ".log"};
    args.insert(args.end(), faults.back().args.begin(), faults.back().args.end());
    sims.push_back(std::make_unique<quorvex::sim::SimProcess>(QUORVEX_CARDSIM_PATH, args));
  }
  return faults;
}

void SoakRound(const std::string& folder, const std::string& file, std::mt19937& rng, Tally& t) {
  std::vector<std::unique_ptr<quorvex::sim::SimProcess>> sims;
  const std::vector<Fault> faults = StartCards(folder, rng, sims);
  const int descriptorsBefore = OpenDescriptors();
  std::ostringstream out, err;
  const char* argv[] = {"quorvex-cli", "write", "--com-dir", folder.c_str(),
                        "--port",      "1-8",   "--json",    file.c_str()};
  const int code = quorvex::cli::RunCli(8, argv, {out, err, false});
  t.leakedDescriptors += std::max(0, OpenDescriptors() - descriptorsBefore);
  for (int n = 1; n <= kCards; ++n)
    t.portsLeftHeld += PortHeld(folder + "/COM" + std::to_string(n));
  // An image file is complete only once its simulator has stopped.
  for (auto& sim : sims) sim->Stop();
  const std::vector<int> codes = CardCodes(out.str());
  int highest = 0;
  for (int n = 1; n <= kCards; ++n) {
    const auto i = static_cast<std::size_t>(n);
    const bool exact = Slurp(folder + "/card" + std::to_string(n) + ".kfg") == Slurp(file);
    Judge(codes[i], exact, faults[i - 1], t);
    highest = std::max(highest, codes[i]);
    if (codes[i] != 0 && faults[i - 1].name == "none") {
      std::printf("  COM%d without a fault ended %d\n", n, codes[i]);
    }
  }
  if (code != highest) ++t.wrongExitCodes;
}

// Busy loops on every core until the children are killed.
std::vector<pid_t> StartHog(int cores) {
  std::vector<pid_t> children;
  for (int i = 0; i < cores; ++i) {
    const pid_t pid = fork();
    if (pid == 0) {
      volatile unsigned long spin = 0;
      for (;;) spin = spin + 1;
    }
    children.push_back(pid);
  }
  return children;
}

bool Soak(const std::string& folder, const std::string& file, int rounds, unsigned seed, bool hog) {
  std::mt19937 rng(seed);
  const std::vector<pid_t> hogs = hog ? StartHog(2) : std::vector<pid_t>{};
  std::printf("soak: %d rounds x %d cards, seed %u, CPU hog %s; load before %s\n", rounds, kCards,
              seed, hog ? "on both cores" : "off", Load().c_str());
  Tally t;
  const auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < rounds; ++r) SoakRound(folder, file, rng, t);
  const std::string loadAfter = Load();
  for (pid_t pid : hogs) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  std::printf(
      "soak: %d card transfers in %.0f s: %d exact, %d reported failures (%d of them with the "
      "image exact all the same), %d wrong successes, %d wrong exit codes, %d failures without "
      "a fault, %d leaked descriptors, %d ports left held; load at the end %s\n",
      t.transfers, Seconds(std::chrono::steady_clock::now() - start).count(), t.exact,
      t.reportedFailures, t.exactButReportedFailed, t.wrongSuccesses, t.wrongExitCodes,
      t.failuresWithoutFault, t.leakedDescriptors, t.portsLeftHeld, loadAfter.c_str());
  return t.wrongSuccesses == 0 && t.wrongExitCodes == 0 && t.leakedDescriptors == 0 &&
         t.portsLeftHeld == 0 && t.exact + t.reportedFailures == t.transfers;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::max(1, Arg(argc, argv, "--runs", 3));
  const int rounds = std::max(0, Arg(argc, argv, "--rounds", 25));
  const auto seed =
      static_cast<unsigned>(Arg(argc, argv, "--seed", static_cast<int>(time(nullptr) % 100000)));
  std::string folder =
      (std::filesystem::temp_directory_path() / "quorvex-batch-bench-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 1;
  const std::string file = folder + "/known.kfg";
  quorvex::WriteKfgImage(file, quorvex::testing::kKnownImage);
  std::string only;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--model") == 0) only = argv[i + 1];
  }
  const auto models = quorvex::bench::ChosenLineModels(only);
  bool fast = !models.empty();
  for (const auto& model : models) fast = MeasureSpeed(folder, file, runs, model) && fast;
  const bool sound = rounds == 0 || Soak(folder, file, rounds, seed, !Flag(argc, argv, "--no-hog"));
  std::filesystem::remove_all(folder);
  return fast && sound ? 0 : 1;
}
