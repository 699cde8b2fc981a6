// The texts the window and the procedures show, read at the moment they are shown.
#pragma once

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

  // The status a comparison ends with: the start, a blank, then "equal" or the number of fields
  // that differ, a blank and their words.
  std::string comparedStart;       // "Compared with box:"
  std::string comparedEqual;       // "equal"
  std::string comparedOneDiffers;  // "field differs"
  std::string comparedManyDiffer;  // "fields differ"
};

// The English set, language number 2.
TextSet EnglishTextSet();
inline constexpr int kEnglishLanguageNumber = 2;

}  // namespace quorvex
