// Command line of the window program: what the first argument asks for before a window exists.
#pragma once

#include <string>
#include <vector>

namespace quorvex {

// What a first argument asks for before any window exists.
enum class StartRequest { kRun, kHelp, kVersion, kPrintComPort };

// The arguments as the user typed them, program name left out. Must be taken before the
// application object exists: it removes the toolkit's own options (-reverse, -style ...) from
// argv, and the debug switch counts the first argument the user gave, whatever it was.
std::vector<std::string> ArgumentsAsGiven(int argc, char** argv);

// --help or -h, --version, --print-com-port: only as the first argument, like the debug switch.
StartRequest StartRequestFrom(const std::vector<std::string>& arguments);

// What --print-com-port prints for the COM port number the settings hold: that number when it
// names a port the program knows, else 1 (the port a fresh settings file starts a script with).
int ComPortToPrint(int storedNumber);

std::string HelpText();
std::string VersionText();

}  // namespace quorvex
