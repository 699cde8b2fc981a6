// The end-to-end fixture: the real transfer pieces against quorvex-cardsim, in real time.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/text_set.h"
#include "link/clock.h"
#include "link/com_port.h"
#include "link/serial_line.h"
#include "procedures/read_from_box.h"
#include "procedures/transfer_seams.h"
#include "procedures/write_to_box.h"
#include "sim/sim_process.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"

namespace quorvex::e2e {

using testing::FillKnownConfiguration;
using testing::FillLists;
using testing::kKnownImage;

// What the end-to-end tests drive and where their card is, from the environment. By default the
// native quorvex-cli and COM1 in each test's own folder. tools/wine_run.sh names the Windows
// build under Wine instead, with the folder its Wine prefix maps COM n to:
//   QUORVEX_E2E_CLI      the command that runs quorvex-cli, words separated by blanks
//   QUORVEX_E2E_COM_DIR  the folder the simulator links its terminal in as COM<n>
//   QUORVEX_E2E_PORT     that n
//   QUORVEX_E2E_TRANSFER_CHECK  the command that runs that build's transfer_check
struct E2eSetup {
  std::vector<std::string> cli;
  std::vector<std::string> transferCheck;  // empty: none given
  bool foreignCli = false;                 // not the quorvex-cli built beside the tests
  std::string comDir;                      // empty: each test's own folder
  int port = 1;

  static E2eSetup FromEnvironment();
};

// The real pieces of a transfer against quorvex-cardsim on a pseudo terminal, in real time.
// COM n resolves to the simulator's link because QUORVEX_COM_DIR points at its folder. A test
// that failed keeps its folder (simulator logs, traces, files) and says where. The in-process
// tests are native by nature and take the default setup.
class CardSimTest : public ::testing::Test {
 protected:
  explicit CardSimTest(E2eSetup setup = {});
  ~CardSimTest() override;
  void TearDown() override;

  // Starts the simulator as COM n with its image file in the folder and a frame log of its own
  // for every start.
  void StartSimulator(const std::vector<std::string>& extraArgs = {});
  void WriteImageFile(const ConfigImage& image);
  // Stops the simulator first: it saves its image off the reply path, so the file is sure to be
  // current only once it has ended.
  ConfigImage ReadImageFile();
  std::string SimulatorLog() const;
  // Register addresses of the requests the card carried out, in order, repeats included.
  std::vector<int> RequestedRegisters() const;
  // The transfer's port is closed and no descriptor is left behind; with the card still on the
  // line, the next opener also gets the port (the lock went with the descriptor).
  void ExpectPortReleased(bool cardStillOnLine = true);
  TransferSeams Seams() { return {panel_, op_, port_, clock_, ctx_, registerAddress_}; }

  const E2eSetup setup_;
  std::filesystem::path folder_;
  std::filesystem::path comDir_;
  std::string imagePath_;
  std::string logPath_;
  std::unique_ptr<sim::SimProcess> sim_;
  int descriptorsAfterStart_ = -1;  // this process's descriptors once the simulator is up

  std::unique_ptr<SerialPorts> ports_ = MakeSystemSerialPorts();
  SteadyClock clock_;
  testing::FakeOperator op_;
  AppContext ctx_;
  ComPort port_{*ports_, clock_, op_, ctx_};
  MemoryPanel panel_;
  std::uint16_t registerAddress_ = 0;

 private:
  std::string previousComDir_;
  bool hadComDir_ = false;
  int starts_ = 0;
  bool keepFolder_ = false;
};

// Number of open file descriptors of this process.
int OpenDescriptorCount();

}  // namespace quorvex::e2e
