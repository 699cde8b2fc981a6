// The texts the window and the procedures show, read at the moment they are shown.
#pragma once

#include <span>
#include <string>

namespace quorvex {

// The texts of captions, menus, status lines and messages. Empty until the window applies a
// language; every procedure reads the entry at the moment it shows it.
struct TextSet {
  std::string offsetErrorV;         // "Offset not in range between 0 and 2.5 V"
  std::string offsetErrorMa;        // "Offset not in range between 0 and 5.0 mA"
  std::string rangeErrorV;          // "Range not between 0 and 10.2 V"
  std::string rangeErrorMa;         // "Range not between 0 and 20.4 mA"
  std::string measurementError;     // "Invalid measurement range"
  std::string productTitle;         // "Analog card 1.4"
  std::string channel;              // "Channel"
  std::string quantityHeader;       // "Measurement value"
  std::string unitHeader;           // "Format"
  std::string offsetHeader;         // "Offset"
  std::string rangeHeader;          // "Range"
  std::string measurementHeader;    // "Measurement range"
  std::string fileMenu;             // "&File"
  std::string transferMenu;         // "&Transfer data "
  std::string loadItem;             // "&Load configuration..."
  std::string saveItem;             // "&Save configuration..."
  std::string quitItem;             // "&Quit"
  std::string comPortItem;          // "&COM port..."
  std::string readItem;             // "&Read from box"
  std::string writeItem;            // "&Write to box"
  std::string openDialogTitle;      // "Load configuration"
  std::string saveDialogTitle;      // "Store configuration"
  std::string fileTypeName;         // "Configuration"
  std::string loadedStart;          // "Configuration"
  std::string loadedEnd;            // " loaded"
  std::string storedStart;          // "Configuration stored under"
  std::string storedEnd;            // " "
  std::string sending;              // "Send configuration..."
  std::string configErrorCaption;   // "Configuration error"
  std::string written;              // "Channel configuration written"
  std::string writeError;           // "Error by writing on COM "
  std::string transmissionError;    // "Transmission error"
  std::string transmittingChannel;  // "Transmitting configuration for channel "
  std::string receivingChannel;     // "Receiving configuration from channel "
  std::string readError;            // "Error by configuration reading"
  std::string received;             // "configuration received"
  std::string releasePrompt;        // "Now release the connection between device and PC"
  std::string transferCaption;      // "Transmission"

  // Comparing the window with the card, and the configuration record.
  std::string compareItem;        // "Co&mpare with box"
  std::string compareCaption;     // "Compare with box"
  std::string compareEqual;       // "The box holds the configuration shown."
  std::string compareDifferent;   // "The box holds a different configuration:"
  std::string compareWindow;      // "window"
  std::string compareBox;         // "box"
  std::string printItem;          // "&Print configuration..."
  std::string exportItem;         // "&Export record..."
  std::string exportDialogTitle;  // "Export record"
  std::string exportFilter;       // "PDF record (*.pdf)|*.pdf|CSV table (*.csv)|*.csv"
  std::string exportedStart;      // "Record exported to"
  std::string printed;            // "Configuration printed"
  std::string recordTitle;        // "Configuration record"
  std::string recordProgram;      // "Program"
  std::string recordDate;         // "Date"
  std::string recordFile;         // "Configuration file"
  std::string recordPort;         // "COM port"
  std::string recordUnitLabel;    // "Measurement unit"
  std::string recordImage;        // "Image (41 bytes, hex)"
  std::string recordRegisters;    // "Registers (hex)"
  std::string recordFileName;     // "record.pdf", the export's name when no .KFG names it
  std::string printStartFailed;   // "Unable to start printing"

  // The status a comparison ends with: the start, a blank, then "equal" or the number of fields
  // that differ, a blank and their words.
  std::string comparedStart;       // "Compared with box:"
  std::string comparedEqual;       // "equal"
  std::string comparedOneDiffers;  // "field differs"
  std::string comparedManyDiffer;  // "fields differ"

  // The transfers' boxes around the port number.
  std::string portNotAvailableStart;  // "Port COM"
  std::string portNotAvailableEnd;    // " not available."
  std::string connectPrompt;          // "Connect analog box to PC via COM"

  // The language menu: the same words in every language, so that anyone finds it.
  std::string languageMenu;  // "&Language / Sprache"
  std::string englishItem;   // "&English"
  std::string germanItem;    // "&Deutsch"

  // The debug window and the COM port dialog.
  std::string debugCaption;         // "DebugWin"
  std::string debugLog;             // "Debug log", what a screen reader calls its text
  std::string comPortCaption;       // "COM Port"
  std::string okButton;             // "OK"
  std::string deviceManagerButton;  // "Device manager "
  std::string portsButton;          // "Ports..."

  // The serial device window; "%1" and "%2" stand for what the window fills in.
  std::string devicesCaption;     // "Serial devices"
  std::string devicesIntro;       // "Serial devices of this computer and ..."
  std::string portsIntro;         // "COM ports of this computer and ..."
  std::string deviceColumn;       // "Device"
  std::string portColumn;         // "COM port"
  std::string nameColumn;         // "Name"
  std::string makerColumn;        // "Maker"
  std::string stableNameColumn;   // "Stable name"
  std::string stateColumn;        // "State"
  std::string noDevices;          // "No serial devices found."
  std::string stateFree;          // "free"
  std::string stateInUse;         // "in use by another program"
  std::string stateNotPermitted;  // "not permitted (group %1)"
  std::string stateFailed;        // "cannot be opened: %1"
  std::string stateGone;          // "gone (not attached)"
  std::string groupHint;          // "%1 may only be opened by members of the group %2. ..."
  std::string renumberHint;       // "Windows gives each device its COM port. ..."
  std::string assignLabel;        // "Assign the selected device to"
  std::string assignButton;       // "Assign"
  std::string refreshButton;      // "Refresh"
  std::string closeButton;        // "Close"
  std::string deviceManagerItem;  // "Device manager"

  // A USB adapter's latency timer in the port lists; "%1" is the cost in percent, "%2" the
  // timer in ms.
  std::string latencyColumn;         // "Latency timer"
  std::string latencyValue;          // "%2 ms"
  std::string latencyCost;           // "about %1 % longer transfers at %2 ms"
  std::string latencySmallCost;      // "under 1 % longer transfers at %2 ms"
  std::string latencyLinuxRemedy;    // "Nothing to change: during a transfer ..."
  std::string latencyWindowsRemedy;  // "To save it: Device Manager → ... Latency Timer 1 ms."
  // A PC's own UART's receive trigger, in the latency timer's column; "%1" is the cost in
  // percent, "%2" the trigger in bytes.
  std::string fifoValue;   // "receive FIFO trigger %2"
  std::string fifoCost;    // "about %1 % longer transfers at a receive trigger of %2 bytes"
  std::string fifoRemedy;  // "This program: asked for 1 byte during transfers. Other ..."

  // The serial device window's ports of device servers on the network; "%1" stands for what the
  // window fills in.
  std::string serversTitle;        // "Device server ports on the network"
  std::string hostColumn;          // "Host"
  std::string tcpPortColumn;       // "TCP port"
  std::string protocolColumn;      // "Protocol"
  std::string noteColumn;          // "Note"
  std::string rfc2217Protocol;     // "RFC 2217 (COM port control)"
  std::string rawProtocol;         // "Raw TCP"
  std::string serverWins;          // "used instead of the local %1"
  std::string serverAsLabel;       // "as"
  std::string addServerButton;     // "Add"
  std::string removeServerButton;  // "Remove"
  std::string noServerHost;        // "Enter the device server's host name or IP address."
  std::string badServerHost;       // "\"%1\" is not a host name or IP address."
};

inline constexpr int kGermanLanguageNumber = 1;
inline constexpr int kEnglishLanguageNumber = 2;

// The set of a language number: 1 German, 2 English; any other number gives English, the
// language a first start and every settings file of the earlier program have.
TextSet TextSetFor(int languageNumber);
TextSet EnglishTextSet();
TextSet GermanTextSet();

// The language number itself where it names a set, else English's.
int KnownLanguageNumber(int languageNumber);

// Where an entry is shown as a menu caption: captions of one menu need access keys of their own.
enum class MenuOf { None, MenuBar, File, Transfer, Language };

// One entry of the text set with its text in each language.
struct TextEntry {
  std::string TextSet::*text;
  const char* english;
  const char* german;
  MenuOf menu;
};

// Every entry of TextSet, in its order.
std::span<const TextEntry> TextEntries();

}  // namespace quorvex
