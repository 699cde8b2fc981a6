// The names the history gives the device behind a COM number of this machine.
#pragma once

#include <string>

#include "link/port_names.h"

namespace quorvex {

// Linux: the device COM n leads to, by its /dev/serial/by-id name where it has one (that name
// follows the adapter to another socket), else by its device path. Windows: the device instance
// ID where it follows the adapter. "" when COM n leads to nothing.
std::string LocalPortDevice(int comNumber, const PortNameEnvironment& env,
                            const std::string& byIdFolder = "/dev/serial/by-id");

}  // namespace quorvex
