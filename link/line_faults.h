// The failed system calls of one open port, told to a LineReport without flooding it.
#pragma once

#include <map>
#include <string>

#include "link/serial_line.h"

namespace quorvex {

// A port that vanished mid-transfer fails every byte, thousands of times: each distinct failure
// is told once at once, and how often it came again is told when the port closes.
class LineFaults {
 public:
  // `port` starts each line ("COM3"); an empty report tells nobody.
  LineFaults(std::string port, LineReport report);
  ~LineFaults();
  LineFaults(const LineFaults&) = delete;
  LineFaults& operator=(const LineFaults&) = delete;

  // `call` is the system call's name, `error` the code the system gave for it.
  void Failed(const std::string& call, unsigned long error);
  // A failure the call itself did not report as one.
  void Note(const std::string& failure);

 private:
  void Tell(const std::string& text) const;

  std::string port_;
  LineReport report_;
  std::map<std::string, long> repeats_;  // by the failure's text
};

}  // namespace quorvex
