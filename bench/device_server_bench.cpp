// quorvex-cli through ser2net against the same card straight on its line: the simulator at 1200
// baud on a pseudo terminal, reached directly as COM n, through ser2net's RFC 2217 and raw TCP
// ports with `chardelay: false`, through an RFC 2217 port with ser2net's default chardelay, through
// socat with fork (raw) and through pyserial's RFC 2217 port manager (tests/e2e/rfc2217_server.py).
// A write with its read-back and a read, as whole processes; the median wall time of each way
// as a ratio to the direct line's. The ways take turns in every round, so a change of the
// machine's load falls on all of them alike.
//   device_server_bench [--repeat N] [--wine QUORVEX-CLI.EXE]
// With --wine the Windows build runs under Wine in the WINEPREFIX given (the card as COM 33
// there), with one wineserver kept up for the whole run: a Wine process's first network call
// otherwise starts Wine's own services, about 2.5 s per process, which no Windows user pays.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/line_models.h"
#include "bench/run_process.h"
#include "sim/sim_process.h"
#include "tests/e2e/ser2net_fixture.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

namespace {

using quorvex::NetworkProtocol;
using quorvex::bench::RunProcess;
using quorvex::e2e::PortManagerServer;
using quorvex::e2e::Ser2netServer;
using quorvex::e2e::SocatServer;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

struct Way {
  std::string name;
  std::vector<std::string> port;  // the arguments that name the card's port
};

}  // namespace

int main(int argc, char** argv) {
  int repeat = 3;
  std::string wineExe;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--wine" && i + 1 < argc) {
      wineExe = argv[++i];
    } else {
      std::fprintf(stderr, "usage: device_server_bench [--repeat N] [--wine QUORVEX-CLI.EXE]\n");
      return 2;
    }
  }
  constexpr const char* kWine = "/usr/bin/wine";
  std::vector<std::string> program{QUORVEX_CLI_PATH};
  if (!wineExe.empty()) {
    program = {kWine, wineExe};
    ::setenv("WINEDEBUG", "-all", 1);
  }
  const quorvex::testing::TempFolder folder;
  const std::string file = folder / "known.kfg";
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(quorvex::testing::kKnownImage.data()),
             quorvex::testing::kKnownImage.size());
  std::vector<std::string> simArgs{"--com-dir", folder.Path(), "--port",
                                   "1",         "--image",     folder / "card.image"};
  for (const auto& model : quorvex::bench::ChosenLineModels("1200")) {
    simArgs.insert(simArgs.end(), model.args.begin(), model.args.end());
  }
  quorvex::sim::SimProcess card(QUORVEX_CARDSIM_PATH, simArgs);
  std::filesystem::create_directory(folder / "fast");
  std::filesystem::create_directory(folder / "default");
  const Ser2netServer fast(
      {{card.LinkPath(), NetworkProtocol::Rfc2217}, {card.LinkPath(), NetworkProtocol::Raw}},
      folder / "fast");
  const Ser2netServer slow({{card.LinkPath(), NetworkProtocol::Rfc2217}}, folder / "default",
                           /*chardelay=*/true);
  std::filesystem::create_directory(folder / "socat");
  std::filesystem::create_directory(folder / "pyserial");
  const SocatServer socat(card.LinkPath(), folder / "socat", /*fork=*/true);
  const PortManagerServer portManager(card.LinkPath(), folder / "pyserial");

  std::vector<std::string> directPort{"--com-dir", folder.Path(), "--port", "1"};
  if (!wineExe.empty()) {
    // As tools/wine_common.sh maps the card for the Wine checks: Wine reads the mapping when its
    // server starts, so the server is started anew.
    if (RunProcess({kWine, "reg", "add", "HKLM\\Software\\Wine\\Ports", "/v", "COM33", "/t",
                    "REG_SZ", "/d", card.LinkPath(), "/f"})
            .code != 0) {
      std::fprintf(stderr, "device_server_bench: the card could not be mapped as COM33\n");
      return 1;
    }
    RunProcess({"/usr/bin/wineserver", "-k"});
    RunProcess({"/usr/bin/wineserver", "-w"});
    RunProcess({"/usr/bin/wineserver", "-p"});
    directPort = {"--port", "33"};
  }
  const std::vector<Way> ways{{"direct line", directPort},
                              {"RFC 2217", {"--port", fast.Url(0)}},
                              {"raw TCP", {"--port", fast.Url(1)}},
                              {"RFC 2217, chardelay on", {"--port", slow.Url(0)}},
                              {"raw TCP, socat fork", {"--port", socat.Url()}},
                              {"RFC 2217, pyserial", {"--port", portManager.Url()}}};
  const std::vector<std::string> commands{"write", "read"};
  std::map<std::string, std::vector<double>> times;  // by command and way
  std::printf("device_server_bench: %d rounds, simulator at 1200 baud, %s, load before: %s\n",
              repeat, wineExe.empty() ? "quorvex-cli" : ("under Wine: " + wineExe).c_str(),
              quorvex::bench::Load().c_str());
  for (int round = 0; round < repeat; ++round) {
    for (const std::string& command : commands) {
      for (const Way& way : ways) {
        std::vector<std::string> args = program;
        args.insert(args.end(), {command, "-q"});
        args.insert(args.end(), way.port.begin(), way.port.end());
        args.push_back(command == "write" ? file : "-o");
        if (command == "read") args.push_back(folder / "read.kfg");
        // ser2net lets the device go a moment after the last client left; another of its ports
        // on the same device is refused until then ("Port's device already in use").
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const auto run = RunProcess(args);
        if (run.code != 0) {
          std::fprintf(stderr, "%s through %s ended with %d\n", command.c_str(), way.name.c_str(),
                       run.code);
          return 1;
        }
        times[command + "/" + way.name].push_back(run.wall);
      }
    }
  }
  std::printf("%-26s %18s %18s\n", "", "write + read-back", "read");
  for (const Way& way : ways) {
    std::printf("%-26s", way.name.c_str());
    for (const std::string& command : commands) {
      const double median = Median(times[command + "/" + way.name]);
      const double direct = Median(times[command + "/" + ways.front().name]);
      std::printf("   %6.2f s  %5.3f x", median, median / direct);
    }
    std::printf("\n");
  }
  std::printf("TCP sessions: socat %d, pyserial %d, for %d transfers each\n", socat.Sessions(),
              portManager.Sessions(), repeat * 3);
  std::printf("load after: %s\n", quorvex::bench::Load().c_str());
  if (!wineExe.empty()) RunProcess({"/usr/bin/wineserver", "-k"});
  return 0;
}
