// Command line of the window program: --help and --version, the file to load.
#include "app/command_line.h"

#include "core/version.h"
#include "link/port_names.h"
#include "storage/settings.h"

namespace quorvex {

StartRequest StartRequestFrom(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return StartRequest::kRun;
  const std::string& first = arguments.front();
  if (first == "--help" || first == "-h") return StartRequest::kHelp;
  if (first == "--version") return StartRequest::kVersion;
  if (first == "--print-com-port") return StartRequest::kPrintComPort;
  return StartRequest::kRun;
}

std::string ConfigurationFileFrom(const std::vector<std::string>& arguments) {
  const std::size_t place = DebugSwitchFromArguments(arguments) ? 1 : 0;
  if (place >= arguments.size()) return {};
  const std::string& file = arguments[place];
  if (file.empty() || file.front() == '-') return {};
  return file;
}

int ComPortToPrint(int storedNumber) {
  return storedNumber >= kFirstComPort && storedNumber <= kLastComPort ? storedNumber : 1;
}

std::string VersionText() {
  return std::string("quorvex ") + kProgramVersion + "\n";
}

std::string HelpText() {
  return R"(Usage: quorvex [DEBUG] [FILE.KFG]
       quorvex --help | --version | --print-com-port

Configures the eight output channels of the analogue output card over a serial port: check the
settings, write them to the card, read them back, save and load .KFG files.

  DEBUG        (first argument, any letter case) open the debug log at the first transfer
  FILE.KFG     load this configuration file once the window is shown, as Load configuration...
               does; it becomes the remembered file. A file that cannot be read is reported
               and the window starts as without it
  -h, --help   this text
  --version    the program's version
  --print-com-port
               print the number n of the port COM n the settings hold, 1 to 255 (1 when they
               hold none of those or do not exist yet), for a script that starts the card
               simulator there; the settings are only read, never made

Settings: installed in the system's program folder, quorvex keeps them in
${XDG_CONFIG_HOME:-~/.config}/quorvex/quorvex.ini; run from anywhere else, beside the program
as quorvex.ini. Serial ports: COM n is $QUORVEX_COM_DIR/COM<n> when that variable is set, else
the link ${XDG_CONFIG_HOME:-~/.config}/quorvex/ports/COM<n> when it exists, else /dev/ttyS<n-1>.
See quorvex(1).
)";
}

}  // namespace quorvex
