// The English texts of captions, menus, status lines and messages.
#include "core/text_set.h"

namespace quorvex {

TextSet EnglishTextSet() {
  TextSet t;
  t.offsetErrorV = "Offset not in range between 0 and 2.5 V";
  t.offsetErrorMa = "Offset not in range between 0 and 5.0 mA";
  t.rangeErrorV = "Range not between 0 and 10.2 V";
  t.rangeErrorMa = "Range not between 0 and 20.4 mA";
  t.measurementError = "Invalid measurement range";
  t.productTitle = "Analog card 1.4";
  t.channel = "Channel";
  t.quantityHeader = "Measurement value";
  t.unitHeader = "Format";
  t.offsetHeader = "Offset";
  t.rangeHeader = "Range";
  t.measurementHeader = "Measurement range";
  t.fileMenu = "&File";
  t.transferMenu = "&Transfer data ";
  t.loadItem = "&Load configuration...";
  t.saveItem = "&Save configuration...";
  t.quitItem = "&Quit";
  t.comPortItem = "&COM port...";
  t.readItem = "&Read from box";
  t.writeItem = "&Write to box";
  t.openDialogTitle = "Load configuration";
  t.saveDialogTitle = "Store configuration";
  t.fileTypeName = "Configuration";
  t.loadedStart = "Configuration";
  t.loadedEnd = " loaded";
  t.storedStart = "Configuration stored under";
  t.storedEnd = " ";
  t.sending = "Send configuration...";
  t.configErrorCaption = "Configuration error";
  t.written = "Channel configuration written";
  t.writeError = "Error by writing on COM ";
  t.transmissionError = "Transmission error";
  t.transmittingChannel = "Transmitting configuration for channel ";
  t.receivingChannel = "Receiving configuration from channel ";
  t.readError = "Error by configuration reading";
  t.received = "configuration received";
  t.releasePrompt = "Now release the connection between device and PC";
  t.transferCaption = "Transmission";
  t.compareItem = "Co&mpare with box";
  t.compareCaption = "Compare with box";
  t.compareEqual = "The box holds the configuration shown.";
  t.compareDifferent = "The box holds a different configuration:";
  t.compareWindow = "window";
  t.compareBox = "box";
  t.comparedStart = "Compared with box:";
  t.comparedEqual = "equal";
  t.comparedOneDiffers = "field differs";
  t.comparedManyDiffer = "fields differ";
  t.printItem = "&Print configuration...";
  t.exportItem = "&Export record...";
  t.exportDialogTitle = "Export record";
  t.exportFilter = "PDF record (*.pdf)|*.pdf|CSV table (*.csv)|*.csv";
  t.exportedStart = "Record exported to";
  t.printed = "Configuration printed";
  t.recordTitle = "Configuration record";
  t.recordProgram = "Program";
  t.recordDate = "Date";
  t.recordFile = "Configuration file";
  t.recordPort = "COM port";
  t.recordUnitLabel = "Measurement unit";
  t.recordImage = "Image (41 bytes, hex)";
  t.recordRegisters = "Registers (hex)";
  return t;
}

}  // namespace quorvex
