// The window's write and read through a COM number the serial device window assigned to a
// device server port: ser2net on 127.0.0.1 in front of the simulator, in real time.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/channel_editing.h"
#include "core/config_image.h"
#include "link/network_line.h"
#include "procedures/channel_check.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/ser2net_fixture.h"
#include "ui/device_server_ports.h"

namespace quorvex::e2e {
namespace {

// No local device has this number: whatever reaches the card through it came over the network.
constexpr int kAssignedCom = 7;

class DeviceServerTransferTest : public CardSimTest {
 protected:
  // The simulator behind ser2net, its port assigned to COM7 as the device window does it, and
  // the program's ports following the assignment as in the program.
  void StartBehindServer(NetworkProtocol protocol) {
    StartSimulator();
    server_.emplace(std::vector<Ser2netPort>{{sim_->LinkPath(), protocol}}, folder_.string());
    servers_.Assign(kAssignedCom, server_->Endpoint(0));
    ctx_.comPortNumber = kAssignedCom;
  }
  TransferSeams AssignedSeams() {
    return {panel_, op_, assignedPort_, clock_, ctx_, registerAddress_};
  }

  std::string settings_ = (folder_ / "quorvex.ini").string();
  DeviceServerAssignments servers_{settings_};
  AssignedSerialPorts ports_{MakeSystemSerialPorts(), servers_.Assignments()};
  QMetaObject::Connection follow_ =
      QObject::connect(&servers_, &DeviceServerAssignments::Changed,
                       [this] { ports_.Reassign(servers_.Assignments()); });
  ComPort assignedPort_{ports_, clock_, op_, ctx_};
  std::optional<Ser2netServer> server_;
};

TEST_F(DeviceServerTransferTest, WriteToBoxReachesTheCardThroughRfc2217) {
  FillKnownConfiguration(panel_);
  ASSERT_TRUE(ValidateAllChannels(panel_, op_, ctx_));
  StartBehindServer(NetworkProtocol::Rfc2217);
  TransferSeams s = AssignedSeams();
  SendConfiguration(s);

  EXPECT_EQ(op_.LastStatus(), "Channel configuration written");
  EXPECT_EQ(op_.Boxes().front(), "Transmission|Connect analog box to PC via COM7|none");
  EXPECT_FALSE(assignedPort_.IsOpen());
  server_.reset();  // ser2net lets go of the simulator's terminal
  EXPECT_EQ(ReadImageFile(), kKnownImage);
}

TEST_F(DeviceServerTransferTest, ReadFromBoxFillsTheWindowThroughRawTcp) {
  WriteImageFile(kKnownImage);
  StartBehindServer(NetworkProtocol::Raw);
  TransferSeams s = AssignedSeams();
  EmpfangenClick(s);

  EXPECT_EQ(op_.LastStatus(), "Configuration  loaded");
  EXPECT_FALSE(assignedPort_.IsOpen());
  EXPECT_EQ(EncodeConfiguration(panel_), kKnownImage);
}

}  // namespace
}  // namespace quorvex::e2e
