// Whole processes timed for the benchmarks, and the machine's load to print beside the figures.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace quorvex::bench {

struct ProcessRun {
  int code = -1;
  double wall = 0;
  double cpu = 0;     // user + system of the process
  long maxRssKb = 0;  // its peak resident set
};

// Runs the program with its output thrown away; wait4 gives its CPU time and peak RSS.
inline ProcessRun RunProcess(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  ProcessRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  int status = -1;
  rusage usage{};
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    wait4(pid, &status, 0, &usage);
  }
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.maxRssKb = usage.ru_maxrss;
  return run;
}

// The load averages over 1, 5 and 15 minutes, "?" when the system does not tell.
inline std::string Load() {
  double load[3] = {};
  if (getloadavg(load, 3) != 3) return "?";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
  return text;
}

}  // namespace quorvex::bench
