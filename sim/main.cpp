// quorvex-cardsim's main(): options, log, the card on its terminal until a stop signal.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "sim/card_options.h"
#include "sim/frame_log.h"
#include "sim/image_file.h"
#include "sim/pty_card.h"

namespace {

// Signals arrive as readable data on a descriptor, so the serving loop ends through its normal
// path and the link is removed by the card's destructor.
int StopSignalDescriptor() {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) return -1;
  return signalfd(-1, &stopSignals, SFD_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quorvex::sim;
  signal(SIGPIPE, SIG_IGN);
  const int stopFd = StopSignalDescriptor();
  if (stopFd < 0) {
    std::perror("quorvex-cardsim: cannot set up signal handling");
    return 1;
  }

  const char* envComDir = std::getenv("QUORVEX_COM_DIR");
  const ParsedOptions parsed =
      ParseCardOptions(std::vector<std::string>(argv + 1, argv + argc), envComDir ? envComDir : "");
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "quorvex-cardsim: %s\nTry 'quorvex-cardsim --help'.\n",
                 parsed.error.c_str());
    return 2;
  }
  const CardOptions& options = parsed.options;
  if (options.help) {
    std::fputs(CardHelpText().c_str(), stdout);
    return 0;
  }

  try {
    FrameLog log(options.logPath);
    PtyCard card(options, log);
    std::printf("ready: %s\n", card.LinkPath().c_str());
    std::fflush(stdout);
    const PtyCard::End end = card.Serve(stopFd);
    log.Note(end == PtyCard::End::HungUp ? "line closed" : "stopped");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quorvex-cardsim: %s\n", e.what());
    return 1;
  }
  return 0;
}
