// The simulated card on a pseudo terminal, reached as COM n by the program.
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>

#include "sim/card_model.h"
#include "sim/card_options.h"
#include "sim/frame_log.h"
#include "sim/image_file.h"
#include "sim/image_writer.h"
#include "sim/line_model.h"

namespace quorvex::sim {

// The card on a pseudo terminal, reachable as <comDir>/COM<n>.
class PtyCard {
 public:
  // Loads the image, opens the terminal and makes the link. Throws std::runtime_error with a
  // message for the person who started the simulator. `save` keeps the image file (--image).
  PtyCard(const CardOptions& options, FrameLog& log, SaveImage save = SaveImageFile);
  // Saves the image still waiting, then removes the link when it still leads to this terminal:
  // whoever waits for the link to go finds the file current.
  ~PtyCard();
  PtyCard(const PtyCard&) = delete;
  PtyCard& operator=(const PtyCard&) = delete;

  const std::string& LinkPath() const { return linkPath_; }

  enum class End { Stopped, HungUp };
  // Answers requests until stopFd becomes readable or --hangup-after ends the line.
  End Serve(int stopFd);

 private:
  struct PendingReply {
    Micros due;
    Frame frame;
    bool corrupted;
  };

  void OpenTerminal();
  void MakeLink(const std::string& comDir, int port);
  // Everything the line brought up to now: bytes to the card, replies onto the line, bytes to
  // the program. False when a byte ended the line (--hangup-after).
  bool Advance();
  // How long poll may wait before something falls due; -1: until something happens.
  int PollTimeout() const;
  // `at` is when the byte reached the card. False when the byte ends the line.
  bool Receive(std::uint8_t byte, Micros at);
  void SendReply(const PendingReply& reply);
  void DeliverToProgram(Micros now);

  const CardOptions& options_;
  FrameLog& log_;
  CardModel model_;
  LineModel line_;
  std::unique_ptr<ImageWriter> imageWriter_;  // none without --image
  int master_ = -1;
  // Held open for the whole run: otherwise every close by the PC would turn the master side
  // into a stream of EIO until the next open.
  int slave_ = -1;
  std::deque<PendingReply> pending_;
  std::string terminalPath_;
  std::string linkPath_;
};

}  // namespace quorvex::sim
