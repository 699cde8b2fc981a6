// The Windows port list made from what SetupAPI, SERIALCOMM and CreateFile answered on real
// machines: names, stable names and states.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "link/latency_timer.h"
#include "link/windows_ports.h"

namespace quorvex {
namespace {

class RecordedPortSystem : public WindowsPortSystem {
 public:
  std::vector<WindowsPortDevice> devices;
  std::vector<SerialCommEntry> serialComm;
  std::map<int, PortOpening> openings;  // ports missing here open
  mutable std::vector<int> opened;

  std::vector<WindowsPortDevice> PortDevices() const override { return devices; }
  std::vector<SerialCommEntry> SerialComm() const override { return serialComm; }
  PortOpening Open(int n) const override {
    opened.push_back(n);
    const auto it = openings.find(n);
    return it == openings.end() ? PortOpening{} : it->second;
  }
};

const WindowsPortDevice kFtdi{"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000",
                              "USB Serial Port (COM3)", "FTDI", "COM3", true};
const WindowsPortDevice kProlific{"USB\\VID_067B&PID_2303\\5&2A3C1E7&0&2",
                                  "Prolific USB-to-Serial Comm Port (COM4)", "Prolific", "COM4",
                                  true};
const WindowsPortDevice kBuiltIn{"ACPI\\PNP0501\\0", "Communications Port (COM1)",
                                 "(Standard port types)", "COM1", true};
const WindowsPortDevice kBluetooth{
    "BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0002\\7&1D0E2A1&0&001A7DDA7113_"
    "C00000000",
    "Standard Serial over Bluetooth link (COM7)", "Microsoft", "COM7", false};
const WindowsPortDevice kPrinter{"ACPI\\PNP0401\\0", "Printer Port (LPT1)", "(Standard port types)",
                                 "LPT1", true};

std::string Row(const SerialDevice& p) {
  static const char* const kStates[] = {"free", "in use", "not permitted", "failed", "gone"};
  return p.path + " | " + p.friendlyName + " | " + p.maker + " | " + p.stableName + " | " +
         kStates[static_cast<int>(p.access)] + (p.error.empty() ? "" : ": " + p.error);
}

std::vector<std::string> Rows(const RecordedPortSystem& system, bool probe = true) {
  std::vector<std::string> rows;
  for (const SerialDevice& port : ListWindowsPorts(system, probe)) rows.push_back(Row(port));
  return rows;
}

TEST(WindowsPorts, AMachineWithEveryKindOfPortListsThemInNumberOrder) {
  RecordedPortSystem system;
  system.devices = {kBluetooth, kProlific, kPrinter, kFtdi, kBuiltIn};
  system.serialComm = {{"\\Device\\Serial0", "COM1"},
                       {"\\Device\\VCP0", "COM3"},
                       {"\\Device\\ProlificSerial0", "COM4"}};
  system.openings[4] = {PortOpening::Result::kAccessDenied, {}};
  EXPECT_EQ(
      Rows(system),
      (std::vector<std::string>{
          "COM1 | Communications Port (COM1) | (Standard port types) | ACPI\\PNP0501\\0 | free",
          "COM3 | USB Serial Port (COM3) | FTDI | FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000 "
          "| free",
          // No serial number: what Windows made up follows the socket, not the adapter.
          "COM4 | Prolific USB-to-Serial Comm Port (COM4) | Prolific |  | in use",
          "COM7 | Standard Serial over Bluetooth link (COM7) | Microsoft | "
          "BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0002\\001A7DDA7113_"
          "C00000000 | gone",
      }));
  // An absent device is never opened: its number may lead to another device by now.
  EXPECT_EQ(system.opened, (std::vector<int>{1, 3, 4}));
}

// The port doctor: an FTDI-class driver's LatencyTimer from the device key; the advice for a
// slow one names the Device Manager's setting. A driver without the value shows none.
TEST(WindowsPorts, AnFtdiClassAdaptersLatencyTimerIsShownWithItsCostAndRemedy) {
  RecordedPortSystem system;
  WindowsPortDevice factory = kFtdi;
  factory.latencyTimerMs = 16;
  WindowsPortDevice tuned{"FTDIBUS\\VID_0403+PID_6015+DK0AHAJZA\\0000",
                          "USB Serial Port (COM5)",
                          "FTDI",
                          "COM5",
                          true,
                          1};
  system.devices = {factory, tuned, kProlific};
  struct Row {
    std::string port;
    std::optional<int> timer;
    std::string advice;
  };
  const std::vector<Row> expected{
      {"COM3", 16,
       "about 8 % longer transfers at 16 ms. To save it: Device Manager \u2192 the port \u2192 "
       "Port Settings \u2192 Advanced \u2192 Latency Timer 1 ms."},
      {"COM4", std::nullopt, ""},
      {"COM5", 1, ""},
  };
  const std::vector<SerialDevice> ports = ListWindowsPorts(system, false);
  ASSERT_EQ(ports.size(), expected.size());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    EXPECT_EQ(ports[i].path, expected[i].port);
    EXPECT_EQ(ports[i].latencyTimerMs, expected[i].timer) << expected[i].port;
    EXPECT_EQ(ports[i].latencyTimerMs
                  ? LatencyTimerAdvice(*ports[i].latencyTimerMs, PortSystem::kWindows)
                  : "",
              expected[i].advice)
        << expected[i].port;
  }
}

// The port doctor: a PC's own port of Windows' serial driver shows the receive trigger the
// driver sets at every open from RxFIFO, 8 without it; other drivers have no such FIFO.
TEST(WindowsPorts, APcsOwnPortsReceiveTriggerIsShownWithItsCostAndWhatTheProgramDoes) {
  struct Row {
    std::string port;
    std::string service;
    std::optional<int> rxFifo;
    std::optional<int> trigger;
    std::string cell;  // in both languages: what the latency timer's column shows
    std::string advice;
    std::string germanAdvice;
  };
  const std::string remedy =
      ". This program: asked for 1 byte during transfers. Other programs: Device Manager \u2192 "
      "the port \u2192 Port Settings \u2192 Advanced \u2192 Receive Buffer \u2192 Low (1).";
  const std::vector<Row> rows{
      {"COM1", "Serial", 14, 14, "receive FIFO trigger 14 / Empfangs-FIFO-Schwelle 14",
       "about 63 % longer transfers at a receive trigger of 14 bytes" + remedy,
       "etwa 63 % l\u00e4ngere \u00dcbertragungen bei einer Empfangsschwelle von 14 Byte"},
      {"COM2", "Serial", 1, 1, "receive FIFO trigger 1 / Empfangs-FIFO-Schwelle 1", "", ""},
      {"COM3", "serial", std::nullopt, 8, "receive FIFO trigger 8 / Empfangs-FIFO-Schwelle 8",
       "about 63 % longer transfers at a receive trigger of 8 bytes" + remedy, "etwa 63 %"},
      {"COM4", "Serial", 4, 4, "receive FIFO trigger 4 / Empfangs-FIFO-Schwelle 4",
       "about 25 % longer transfers at a receive trigger of 4 bytes" + remedy, "etwa 25 %"},
      // The driver takes a value the UART has no setting for as 1 byte.
      {"COM5", "Serial", 2, 1, "receive FIFO trigger 1 / Empfangs-FIFO-Schwelle 1", "", ""},
      // A USB adapter's driver: its chip has no such FIFO on the PC's side.
      {"COM6", "FTDIBUS", 14, std::nullopt, " / ", "", ""},
  };
  RecordedPortSystem system;
  for (const Row& row : rows) {
    WindowsPortDevice device = kBuiltIn;
    device.portName = row.port;
    device.service = row.service;
    device.rxFifo = row.rxFifo;
    system.devices.push_back(device);
  }
  const std::vector<SerialDevice> ports = ListWindowsPorts(system, false);
  ASSERT_EQ(ports.size(), rows.size());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const Row& row = rows[i];
    const SerialDevice& port = ports[i];
    EXPECT_EQ(port.path, row.port);
    EXPECT_EQ(port.receiveFifoTrigger, row.trigger) << row.port;
    EXPECT_EQ(HoldBackValue(port.latencyTimerMs, port.receiveFifoTrigger) + " / " +
                  HoldBackValue(port.latencyTimerMs, port.receiveFifoTrigger, GermanTextSet()),
              row.cell)
        << row.port;
    EXPECT_EQ(HoldBackAdvice(port.latencyTimerMs, port.receiveFifoTrigger, PortSystem::kWindows),
              row.advice)
        << row.port;
    const std::string german = HoldBackAdvice(port.latencyTimerMs, port.receiveFifoTrigger,
                                              PortSystem::kWindows, GermanTextSet());
    EXPECT_EQ(german.rfind(row.germanAdvice, 0), 0u) << german;
    EXPECT_EQ(german.find("Empfangspuffer \u2192 Niedrig (1)") != std::string::npos,
              !row.advice.empty())
        << german;
  }
}

TEST(WindowsPorts, SerialCommFillsInWhatSetupApiDoesNotKnow) {
  RecordedPortSystem system;
  system.serialComm = {{"COM33", "COM33"}, {"\\Device\\Serial0", "com1"}, {"Bad", "COM0"}};
  system.openings[1] = {PortOpening::Result::kFailed, "The system cannot find the file specified"};
  EXPECT_EQ(Rows(system), (std::vector<std::string>{
                              "COM1 |  |  |  | failed: The system cannot find the file specified",
                              "COM33 |  |  |  | free"}));

  system.opened.clear();
  // A remembered adapter does not hide the port that now has its number; a present one does.
  system.devices = {WindowsPortDevice{"USB\\VID_0403&PID_6015\\DK0AHAJ1", "USB Serial Port (COM33)",
                                      "FTDI", "COM33", false},
                    kBuiltIn};
  EXPECT_EQ(
      Rows(system, false),
      (std::vector<std::string>{
          "COM1 | Communications Port (COM1) | (Standard port types) | ACPI\\PNP0501\\0 | free",
          "COM33 |  |  |  | free",
          "COM33 | USB Serial Port (COM33) | FTDI | USB\\VID_0403&PID_6015\\DK0AHAJ1 | gone"}));
  EXPECT_EQ(system.opened, std::vector<int>{}) << "the listing without probe opened a port";
}

TEST(WindowsPorts, StableNamesFollowTheAdapterNotTheSocket) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"USB\\VID_0403&PID_6001\\A50285BI", "USB\\VID_0403&PID_6001\\A50285BI"},
      {"USB\\VID_2341&PID_0043\\85735313233351B0C1E1",
       "USB\\VID_2341&PID_0043\\85735313233351B0C1E1"},
      {"USB\\VID_067B&PID_2303\\5&2A3C1E7&0&2", ""},
      // One interface of a composite device: Windows names it after its parent's socket.
      {"USB\\VID_10C4&PID_EA70&MI_00\\6&15A9B5D7&0&0000", ""},
      {"ACPI\\PNP0501\\1", "ACPI\\PNP0501\\1"},
      // An incoming Bluetooth port has no remote device.
      {"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000\\7&1D0E2A1&0&000000000000_"
       "00000005",
       ""},
      {"", ""},
      {"USB\\VID_0403&PID_6001", ""},
      {"USB\\\\A50285BI", ""},
  };
  for (const auto& [instance, stable] : cases) {
    EXPECT_EQ(StableNameOfInstance(instance), stable) << instance;
  }
}

TEST(WindowsPorts, OnlyComOneToTwoHundredFiftyFiveAreCountedAsPorts) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"COM1", 1}, {"com12", 12}, {"COM255", 255}, {"COM256", 0}, {"COM0", 0},    {"COM03", 0},
      {"COM", 0},  {"LPT1", 0},   {"COM1A", 0},    {"COM-1", 0},  {"COM1000", 0}, {"", 0}};
  for (const auto& [name, n] : cases) EXPECT_EQ(ComNumberOfPortName(name), n) << name;
}

}  // namespace
}  // namespace quorvex
