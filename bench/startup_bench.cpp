// Start-up benchmark: time from process start until the main window has been shown and painted
// once, and peak resident memory, for the program, for a minimal Qt Widgets program with one
// window, and for the widget floor (bench/widget_floor.cpp: the program's widgets and fonts
// without its code). Each is started N times (default 15), in turns, on the platform the
// environment names (offscreen, or xcb under Xvfb); medians are printed with the ratios of the
// program to each. The floor tells what the program's own code costs; the baseline what the
// window's widgets cost on top of Qt.
//   startup_bench PROGRAM BASELINE [RUNS [FLOOR]]   (FLOOR: the widget_floor built beside)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
  double ms;
  long rssKb;
};

bool RunOnce(const char* program, const char* argument, Sample& out) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return false;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    setenv("QUORVEX_FIRST_PAINT_PROBE", "1", 1);
    execl(program, program, argument, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  std::string output;
  char buffer[256];
  ssize_t got;
  while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    output.append(buffer, static_cast<std::size_t>(got));
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return false;
  }
  const auto at = output.find("first-paint-ns ");
  if (at == std::string::npos) return false;
  const long long paintNs = std::atoll(output.c_str() + at + 15);
  const long long startNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
  out.ms = static_cast<double>(paintNs - startNs) / 1e6;
  out.rssKb = usage.ru_maxrss;
  return true;
}

template <class T>
T Median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PROGRAM BASELINE [RUNS [FLOOR]]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
  const char* floor = argc > 4 ? argv[4] : QUORVEX_WIDGET_FLOOR_PATH;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  std::printf("platform: %s, %d runs each (medians)\n", platform ? platform : "(default)", runs);

  struct Candidate {
    const char* name;
    const char* program;
    const char* argument;
  };
  // The empty window is the baseline asked for; the one with a label shows how much of the
  // difference is the font set-up that any window with text pays.
  constexpr int kCandidates = 4;
  constexpr int kFloor = 3;
  const Candidate candidates[kCandidates] = {{"program", argv[1], nullptr},
                                             {"baseline", argv[2], nullptr},
                                             {"baseline+label", argv[2], "--label"},
                                             {"widget floor", floor, nullptr}};
  // Round by round, one start of each, so a machine that drifts slower or faster during the
  // measurement moves all alike; one unmeasured round first, so all see warm file caches.
  std::vector<double> ms[kCandidates];
  std::vector<long> rss[kCandidates];
  for (int round = -1; round < runs; ++round) {
    for (int which = 0; which < kCandidates; ++which) {
      const Candidate& c = candidates[which];
      Sample s{};
      if (!RunOnce(c.program, c.argument, s)) {
        std::fprintf(stderr, "%s did not report its first paint\n", c.program);
        return 1;
      }
      if (round < 0) continue;
      ms[which].push_back(s.ms);
      rss[which].push_back(s.rssKb);
    }
  }
  double medianMs[kCandidates];
  long medianRss[kCandidates];
  for (int which = 0; which < kCandidates; ++which) {
    medianMs[which] = Median(ms[which]);
    medianRss[which] = Median(rss[which]);
    std::printf("%-15s start to first paint %7.1f ms (min %.1f, max %.1f), peak RSS %6ld KiB\n",
                candidates[which].name, medianMs[which],
                *std::min_element(ms[which].begin(), ms[which].end()),
                *std::max_element(ms[which].begin(), ms[which].end()), medianRss[which]);
  }
  for (int base = 1; base < 3; ++base) {
    std::printf("ratio to %-15s time %.2f (target <= 1.25), RSS %.2f (target <= 1.15)\n",
                candidates[base].name, medianMs[0] / medianMs[base],
                static_cast<double>(medianRss[0]) / static_cast<double>(medianRss[base]));
  }
  std::printf("ratio to widget floor  time %.2f, RSS %.2f (target <= 1.05 each)\n",
              medianMs[0] / medianMs[kFloor],
              static_cast<double>(medianRss[0]) / static_cast<double>(medianRss[kFloor]));
  return 0;
}
