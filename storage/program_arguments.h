// The arguments the program was started with, in UTF-8 as every path of ours is.
#pragma once

#include <string>
#include <vector>

namespace quorvex {

// The arguments after the program's name, as the user gave them. On Windows they are taken from
// the system in UTF-16 and made UTF-8: the C library's argv comes through the system's code
// page, which cannot hold every letter of a name ("Prüfstand\Müller.KFG" on a Greek system);
// `argv` stands in only when Windows hands over none. Elsewhere they are `argv` as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The full path of the running program in UTF-8, or "" where the system does not tell it.
std::string ExecutablePath();

}  // namespace quorvex
