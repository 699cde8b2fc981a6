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

// The real pieces of a transfer against quorvex-cardsim on a pseudo terminal, in real time.
// COM1 resolves to the simulator's link because QUORVEX_COM_DIR points at a fresh folder.
class CardSimTest : public ::testing::Test {
 protected:
  CardSimTest();
  ~CardSimTest() override;

  // Starts the simulator as COM1 with its image file and log in the folder.
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

  std::filesystem::path folder_;
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
};

// Number of open file descriptors of this process.
int OpenDescriptorCount();

}  // namespace quorvex::e2e
