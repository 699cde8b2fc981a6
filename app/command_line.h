// Command line of the window program: what the first argument asks for before a window exists,
// and the configuration file named there.
#pragma once

#include <string>
#include <vector>

namespace quorvex {

// What a first argument asks for before any window exists.
enum class StartRequest { kRun, kHelp, kVersion, kPrintComPort };

// --help or -h, --version, --print-com-port: only as the first argument, like the debug switch.
StartRequest StartRequestFrom(const std::vector<std::string>& arguments);

// The configuration file to load once the window is shown: the first argument, or the second
// when the first is the debug switch; empty when there is none. Further arguments are ignored,
// as the debug switch ignores them, and so is an option in its place (a name starting with "-":
// the toolkit's own, or one this program does not know); "./-name" names such a file.
std::string ConfigurationFileFrom(const std::vector<std::string>& arguments);

// What --print-com-port prints for the COM port number the settings hold: that number when it
// names a port the program knows, else 1 (the port a fresh settings file starts a script with).
int ComPortToPrint(int storedNumber);

std::string HelpText();
std::string VersionText();

}  // namespace quorvex
