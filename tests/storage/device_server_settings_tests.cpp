// Tests of the device server ports' section of the settings file: the round trip, the entries
// that are no assignment, and the exit's write that must leave the section alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/settings.h"
#include "tests/storage/settings_fixture.h"
#include "tests/storage/storage_test_support.h"

namespace quorvex {
namespace {

using testing::ReadFileBytes;
using testing::SettingsTest;
using testing::WriteFileBytes;

using DeviceServerSettingsTest = SettingsTest;

TEST_F(DeviceServerSettingsTest, WhatIsSavedIsReadBackAndTheRestOfTheFileStaysAsItWas) {
  const std::string handMade = "; kept by hand\r\n[Main]\r\nCOM=3\r\nMine=yes\r\n";
  struct Case {
    const char* name;
    DeviceServerPorts ports;
  };
  const std::vector<Case> cases = {
      {"none", {}},
      {"one", {{3, "rfc2217://10.0.0.5:4001"}}},
      {"several",
       {{1, "tcp://plant-ds1:4002"},
        {3, "rfc2217://10.0.0.5:4001"},
        {255, "rfc2217://[fe80::1]:4008"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(path_, handMade);
    SaveDeviceServerPorts(path_, c.ports);
    EXPECT_EQ(StoredDeviceServerPorts(path_), c.ports);
    const std::string written = ReadFileBytes(path_);
    EXPECT_EQ(written.substr(0, handMade.size()), handMade);
    // Written only once used: a file that never had an assignment looks as it did.
    EXPECT_EQ(written.find("[DeviceServers]") != std::string::npos, !c.ports.empty());
  }
}

TEST_F(DeviceServerSettingsTest, ANumberNoLongerAssignedIsReadAsNoneAndOthersStay) {
  SaveDeviceServerPorts(path_, {{2, "tcp://a:1"}, {7, "tcp://b:2"}});
  SaveDeviceServerPorts(path_, {{7, "tcp://b:3"}});
  EXPECT_EQ(StoredDeviceServerPorts(path_), (DeviceServerPorts{{7, "tcp://b:3"}}));
  SaveDeviceServerPorts(path_, {});
  EXPECT_EQ(StoredDeviceServerPorts(path_), DeviceServerPorts{});
}

TEST_F(DeviceServerSettingsTest, EntriesThatAreNoAssignmentAreSkippedNotFatal) {
  WriteFileBytes(path_,
                 "[deviceservers]\n"
                 "COM0=tcp://a:1\n"
                 "COM256=tcp://a:2\n"
                 "COMx=tcp://a:3\n"
                 "4=tcp://a:4\n"
                 "COM5=\n"
                 "COM6\n"
                 " com9 = \"rfc2217://10.0.0.9:4009\" \n"
                 "COM10=not a url at all\n"
                 "\x01\xff garbage line\n");
  // The URL's own check is the ports' affair: storage hands the text on.
  EXPECT_EQ(StoredDeviceServerPorts(path_),
            (DeviceServerPorts{{9, "rfc2217://10.0.0.9:4009"}, {10, "not a url at all"}}));
}

TEST_F(DeviceServerSettingsTest, AMissingFileHasNoneAndTheExitsWriteKeepsTheSection) {
  EXPECT_EQ(StoredDeviceServerPorts(path_), DeviceServerPorts{});
  EXPECT_FALSE(testing::FileExists(path_));  // reading makes nothing

  const DeviceServerPorts ports = {{4, "rfc2217://10.0.0.5:4001"}};
  SaveDeviceServerPorts(path_, ports);
  SaveSettings(path_, panel_, ctx_, WindowState{});
  EXPECT_EQ(StoredDeviceServerPorts(path_), ports);
}

}  // namespace
}  // namespace quorvex
