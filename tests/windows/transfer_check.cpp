// A whole write and a whole read through the system's serial backend against a card on COM n,
// in real time: on Windows (and under Wine) this is the Win32 backend, the only way to prove its
// calls against something that answers. The card is expected to be quorvex-cardsim; it must end
// up holding the known image, and the read must bring back exactly that image and panel.
//
//   transfer_check N [--repeat R]      exit 0 when every transfer was right
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/text_set.h"
#include "link/clock.h"
#include "link/com_port.h"
#include "link/serial_line.h"
#include "procedures/read_from_box.h"
#include "procedures/transfer_seams.h"
#include "procedures/write_to_box.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"

namespace {

using namespace quorvex;

struct Run {
  double seconds = 0;
  std::string fault;  // empty when the transfer was right
};

class Check {
 public:
  explicit Check(int portNumber) {
    ctx_.comPortNumber = portNumber;
    ctx_.texts = EnglishTextSet();
  }

  Run Write() {
    MemoryPanel panel;
    testing::FillLists(panel);
    testing::FillKnownConfiguration(panel);
    RegisterRecord record;
    Run run = Timed(panel, record, SendConfiguration);
    if (run.fault.empty() && record.values != testing::kKnownImage) {
      run.fault = "the card answered other bytes than were written";
    }
    return run;
  }

  Run Read() {
    MemoryPanel panel;
    testing::FillLists(panel);
    RegisterRecord record;
    Run run = Timed(panel, record, EmpfangenClick);
    MemoryPanel expected;
    testing::FillLists(expected);
    testing::FillKnownConfiguration(expected);
    if (run.fault.empty() && record.values != testing::kKnownImage) {
      run.fault = "the card's image is not the one written";
    }
    if (run.fault.empty() && testing::Snapshot(panel) != testing::Snapshot(expected)) {
      run.fault = "the panel does not show the configuration read";
    }
    return run;
  }

 private:
  Run Timed(MemoryPanel& panel, RegisterRecord& record,
            TransferOutcome (*transfer)(TransferSeams&)) {
    testing::FakeOperator op;
    std::uint16_t registerAddress = 0;
    ComPort port(*ports_, clock_, op, ctx_);
    TransferSeams seams{panel, op, port, clock_, ctx_, registerAddress, &record};
    const auto start = std::chrono::steady_clock::now();
    const TransferOutcome outcome = transfer(seams);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (outcome != TransferOutcome::Done || !record.Complete()) {
      run.fault = "transfer failed, last status '" + op.LastStatus() + "'";
    }
    return run;
  }

  std::unique_ptr<SerialPorts> ports_ = MakeSystemSerialPorts();
  SteadyClock clock_;
  AppContext ctx_;
};

bool Report(const char* name, const Run& run) {
  std::printf("%-5s %.3f s %s\n", name, run.seconds, run.fault.empty() ? "ok" : run.fault.c_str());
  return run.fault.empty();
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 1;
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--repeat") == 0)) {
    std::fprintf(stderr, "usage: %s N [--repeat R]\n", argv[0]);
    return 2;
  }
  const int portNumber = std::atoi(argv[1]);
  if (argc == 4) repeat = std::max(1, std::atoi(argv[3]));
  Check check(portNumber);
  bool right = true;
  for (int i = 0; i < repeat; ++i) {
    right = Report("write", check.Write()) && right;
    right = Report("read", check.Read()) && right;
  }
  return right ? 0 : 1;
}
