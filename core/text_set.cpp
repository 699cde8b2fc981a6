// The texts of captions, menus, status lines and messages, in English and German.
#include "core/text_set.h"

namespace quorvex {

namespace {

// Numbers keep their "." in German too: the card, the stored files and the fields all read it.
constexpr TextEntry kEntries[] = {
    {&TextSet::offsetErrorV, "Offset not in range between 0 and 2.5 V",
     "Offset nicht zwischen 0 und 2.5 V", MenuOf::None},
    {&TextSet::offsetErrorMa, "Offset not in range between 0 and 5.0 mA",
     "Offset nicht zwischen 0 und 5.0 mA", MenuOf::None},
    {&TextSet::rangeErrorV, "Range not between 0 and 10.2 V", "Bereich nicht zwischen 0 und 10.2 V",
     MenuOf::None},
    {&TextSet::rangeErrorMa, "Range not between 0 and 20.4 mA",
     "Bereich nicht zwischen 0 und 20.4 mA", MenuOf::None},
    {&TextSet::measurementError, "Invalid measurement range", "Ung\u00fcltiger Messbereich",
     MenuOf::None},
    {&TextSet::productTitle, "Analog card 1.4", "Analogkarte 1.4", MenuOf::None},
    {&TextSet::channel, "Channel", "Kanal", MenuOf::None},
    {&TextSet::quantityHeader, "Measurement value", "Messwert", MenuOf::None},
    {&TextSet::unitHeader, "Format", "Gr\u00f6\u00dfe", MenuOf::None},
    {&TextSet::offsetHeader, "Offset", "Offset", MenuOf::None},
    {&TextSet::rangeHeader, "Range", "Bereich", MenuOf::None},
    {&TextSet::measurementHeader, "Measurement range", "Messbereich", MenuOf::None},
    {&TextSet::fileMenu, "&File", "&Datei", MenuOf::MenuBar},
    {&TextSet::transferMenu, "&Transfer data ", "&\u00dcbertragung", MenuOf::MenuBar},
    {&TextSet::loadItem, "&Load configuration...", "Konfiguration &laden...", MenuOf::File},
    {&TextSet::saveItem, "&Save configuration...", "Konfiguration &speichern...", MenuOf::File},
    {&TextSet::quitItem, "&Quit", "&Beenden", MenuOf::File},
    {&TextSet::comPortItem, "&COM port...", "&COM-Port...", MenuOf::Transfer},
    {&TextSet::readItem, "&Read from box", "&Empfangen", MenuOf::Transfer},
    {&TextSet::writeItem, "&Write to box", "&Senden", MenuOf::Transfer},
    {&TextSet::openDialogTitle, "Load configuration", "Konfiguration laden", MenuOf::None},
    {&TextSet::saveDialogTitle, "Store configuration", "Konfiguration speichern", MenuOf::None},
    {&TextSet::fileTypeName, "Configuration", "Konfiguration", MenuOf::None},
    {&TextSet::loadedStart, "Configuration", "Konfiguration", MenuOf::None},
    {&TextSet::loadedEnd, " loaded", " geladen", MenuOf::None},
    {&TextSet::storedStart, "Configuration stored under", "Konfiguration gespeichert unter",
     MenuOf::None},
    {&TextSet::storedEnd, " ", " ", MenuOf::None},
    {&TextSet::sending, "Send configuration...", "Konfiguration wird gesendet", MenuOf::None},
    {&TextSet::configErrorCaption, "Configuration error", "Konfigurationsfehler", MenuOf::None},
    {&TextSet::written, "Channel configuration written", "Kanalkonfiguration geschrieben",
     MenuOf::None},
    {&TextSet::writeError, "Error by writing on COM ", "Fehler beim Schreiben auf COM ",
     MenuOf::None},
    {&TextSet::transmissionError, "Transmission error", "\u00dcbertragungsfehler", MenuOf::None},
    {&TextSet::transmittingChannel, "Transmitting configuration for channel ",
     "\u00dcbertrage Konfiguration f\u00fcr Kanal ", MenuOf::None},
    {&TextSet::receivingChannel, "Receiving configuration from channel ",
     "Empfange Konfiguration von Kanal ", MenuOf::None},
    {&TextSet::readError, "Error by configuration reading", "Fehler beim Lesen der Konfiguration",
     MenuOf::None},
    {&TextSet::received, "configuration received", "Konfiguration empfangen", MenuOf::None},
    {&TextSet::releasePrompt, "Now release the connection between device and PC",
     "Jetzt die Verbindung zwischen Ger\u00e4t und PC trennen", MenuOf::None},
    {&TextSet::transferCaption, "Transmission", "\u00dcbertragung", MenuOf::None},

    {&TextSet::compareItem, "Co&mpare with box", "Mit Karte ver&gleichen", MenuOf::Transfer},
    {&TextSet::compareCaption, "Compare with box", "Mit Karte vergleichen", MenuOf::None},
    {&TextSet::compareEqual, "The box holds the configuration shown.",
     "Die Karte enth\u00e4lt die angezeigte Konfiguration.", MenuOf::None},
    {&TextSet::compareDifferent, "The box holds a different configuration:",
     "Die Karte enth\u00e4lt eine andere Konfiguration:", MenuOf::None},
    {&TextSet::compareWindow, "window", "Fenster", MenuOf::None},
    {&TextSet::compareBox, "box", "Karte", MenuOf::None},
    {&TextSet::printItem, "&Print configuration...", "Konfiguration &drucken...", MenuOf::File},
    {&TextSet::exportItem, "&Export record...", "Protokoll &exportieren...", MenuOf::File},
    {&TextSet::exportDialogTitle, "Export record", "Protokoll exportieren", MenuOf::None},
    {&TextSet::exportFilter, "PDF record (*.pdf)|*.pdf|CSV table (*.csv)|*.csv",
     "PDF-Protokoll (*.pdf)|*.pdf|CSV-Tabelle (*.csv)|*.csv", MenuOf::None},
    {&TextSet::exportedStart, "Record exported to", "Protokoll exportiert nach", MenuOf::None},
    {&TextSet::printed, "Configuration printed", "Konfiguration gedruckt", MenuOf::None},
    {&TextSet::recordTitle, "Configuration record", "Konfigurationsprotokoll", MenuOf::None},
    {&TextSet::recordProgram, "Program", "Programm", MenuOf::None},
    {&TextSet::recordDate, "Date", "Datum", MenuOf::None},
    {&TextSet::recordFile, "Configuration file", "Konfigurationsdatei", MenuOf::None},
    {&TextSet::recordPort, "COM port", "COM-Port", MenuOf::None},
    {&TextSet::recordUnitLabel, "Measurement unit", "Messeinheit", MenuOf::None},
    {&TextSet::recordImage, "Image (41 bytes, hex)", "Abbild (41 Bytes, hex)", MenuOf::None},
    {&TextSet::recordRegisters, "Registers (hex)", "Register (hex)", MenuOf::None},
    {&TextSet::recordFileName, "record.pdf", "protokoll.pdf", MenuOf::None},
    {&TextSet::printStartFailed, "Unable to start printing",
     "Drucken konnte nicht gestartet werden", MenuOf::None},
    {&TextSet::comparedStart, "Compared with box:", "Mit Karte verglichen:", MenuOf::None},
    {&TextSet::comparedEqual, "equal", "gleich", MenuOf::None},
    {&TextSet::comparedOneDiffers, "field differs", "Feld weicht ab", MenuOf::None},
    {&TextSet::comparedManyDiffer, "fields differ", "Felder weichen ab", MenuOf::None},

    {&TextSet::portNotAvailableStart, "Port COM", "Schnittstelle COM", MenuOf::None},
    {&TextSet::portNotAvailableEnd, " not available.", " nicht verf\u00fcgbar.", MenuOf::None},
    {&TextSet::connectPrompt, "Connect analog box to PC via COM",
     "Analogkarte mit dem PC verbinden: Schnittstelle COM", MenuOf::None},

    {&TextSet::languageMenu, "&Language / Sprache", "&Language / Sprache", MenuOf::MenuBar},
    {&TextSet::englishItem, "&English", "&English", MenuOf::Language},
    {&TextSet::germanItem, "&Deutsch", "&Deutsch", MenuOf::Language},

    {&TextSet::debugCaption, "DebugWin", "Debug-Fenster", MenuOf::None},
    {&TextSet::debugLog, "Debug log", "Debug-Protokoll", MenuOf::None},
    {&TextSet::comPortCaption, "COM Port", "COM-Port", MenuOf::None},
    {&TextSet::okButton, "OK", "OK", MenuOf::None},
    {&TextSet::deviceManagerButton, "Device manager ", "Ger\u00e4te-Manager", MenuOf::None},
    {&TextSet::portsButton, "Ports...", "Anschl\u00fcsse...", MenuOf::None},

    {&TextSet::devicesCaption, "Serial devices", "Serielle Ger\u00e4te", MenuOf::None},
    {&TextSet::devicesIntro,
     "Serial devices of this computer and the COM port each is reached through:",
     "Serielle Ger\u00e4te dieses Computers und der COM-Port, \u00fcber den das jeweilige "
     "Ger\u00e4t erreichbar ist:",
     MenuOf::None},
    {&TextSet::portsIntro, "COM ports of this computer and the device behind each:",
     "COM-Ports dieses Computers und das jeweils angeschlossene Ger\u00e4t:", MenuOf::None},
    {&TextSet::deviceColumn, "Device", "Ger\u00e4t", MenuOf::None},
    {&TextSet::portColumn, "COM port", "COM-Port", MenuOf::None},
    {&TextSet::nameColumn, "Name", "Name", MenuOf::None},
    {&TextSet::makerColumn, "Maker", "Hersteller", MenuOf::None},
    {&TextSet::stableNameColumn, "Stable name", "Fester Name", MenuOf::None},
    {&TextSet::stateColumn, "State", "Zustand", MenuOf::None},
    {&TextSet::noDevices, "No serial devices found.", "Keine seriellen Ger\u00e4te gefunden.",
     MenuOf::None},
    {&TextSet::stateFree, "free", "frei", MenuOf::None},
    {&TextSet::stateInUse, "in use by another program", "von einem anderen Programm belegt",
     MenuOf::None},
    {&TextSet::stateNotPermitted, "not permitted (group %1)", "keine Berechtigung (Gruppe %1)",
     MenuOf::None},
    {&TextSet::stateFailed, "cannot be opened: %1", "kann nicht ge\u00f6ffnet werden: %1",
     MenuOf::None},
    {&TextSet::stateGone, "gone (not attached)", "getrennt (nicht angeschlossen)", MenuOf::None},
    {&TextSet::groupHint,
     "%1 may only be opened by members of the group %2. Add your user to that group (sudo "
     "usermod -a -G %2 $USER), then log out and log in again.",
     "%1 darf nur von Mitgliedern der Gruppe %2 ge\u00f6ffnet werden. F\u00fcgen Sie Ihren "
     "Benutzer dieser Gruppe hinzu (sudo usermod -a -G %2 $USER), melden Sie sich dann ab und "
     "wieder an.",
     MenuOf::None},
    {&TextSet::renumberHint,
     "Windows gives each device its COM port. To give a device another one, open its Properties "
     "in the device manager: Port Settings, Advanced.",
     "Windows weist jedem Ger\u00e4t seinen COM-Port zu. Einen anderen stellen Sie im "
     "Ger\u00e4te-Manager in den Eigenschaften des Ger\u00e4ts ein: Anschlusseinstellungen, "
     "Erweitert.",
     MenuOf::None},
    {&TextSet::assignLabel, "Assign the selected device to",
     "Gew\u00e4hltes Ger\u00e4t zuordnen zu", MenuOf::None},
    {&TextSet::assignButton, "Assign", "Zuordnen", MenuOf::None},
    {&TextSet::refreshButton, "Refresh", "Aktualisieren", MenuOf::None},
    {&TextSet::closeButton, "Close", "Schlie\u00dfen", MenuOf::None},
    {&TextSet::deviceManagerItem, "Device manager", "Ger\u00e4te-Manager", MenuOf::None},
    {&TextSet::latencyColumn, "Latency timer", "Latenz-Timer", MenuOf::None},
    {&TextSet::latencyValue, "%2 ms", "%2 ms", MenuOf::None},
    {&TextSet::latencyCost, "about %1 % longer transfers at %2 ms",
     "etwa %1 % l\u00e4ngere \u00dcbertragungen bei %2 ms", MenuOf::None},
    {&TextSet::latencySmallCost, "under 1 % longer transfers at %2 ms",
     "unter 1 % l\u00e4ngere \u00dcbertragungen bei %2 ms", MenuOf::None},
    {&TextSet::latencyLinuxRemedy,
     "Nothing to change: during a transfer the program asks the driver for low latency, and the "
     "driver then uses 1 ms.",
     "Keine \u00c4nderung n\u00f6tig: W\u00e4hrend einer \u00dcbertragung fordert das Programm "
     "beim Treiber eine geringe Latenz an; der Treiber verwendet dann 1 ms.",
     MenuOf::None},
    {&TextSet::latencyWindowsRemedy,
     "To save it: Device Manager \u2192 the port \u2192 Port Settings \u2192 Advanced \u2192 "
     "Latency Timer 1 ms.",
     "Abhilfe: Ger\u00e4te-Manager \u2192 Anschluss \u2192 Anschlusseinstellungen \u2192 "
     "Erweitert \u2192 Latenz-Timer 1 ms.",
     MenuOf::None},
    {&TextSet::fifoValue, "receive FIFO trigger %2", "Empfangs-FIFO-Schwelle %2", MenuOf::None},
    {&TextSet::fifoCost, "about %1 % longer transfers at a receive trigger of %2 bytes",
     "etwa %1 % l\u00e4ngere \u00dcbertragungen bei einer Empfangsschwelle von %2 Byte",
     MenuOf::None},
    {&TextSet::fifoRemedy,
     "This program: asked for 1 byte during transfers. Other programs: Device Manager \u2192 the "
     "port \u2192 Port Settings \u2192 Advanced \u2192 Receive Buffer \u2192 Low (1).",
     "Dieses Programm: fordert w\u00e4hrend \u00dcbertragungen 1 Byte an. Andere Programme: "
     "Ger\u00e4te-Manager \u2192 Anschluss \u2192 Anschlusseinstellungen \u2192 Erweitert "
     "\u2192 Empfangspuffer \u2192 Niedrig (1).",
     MenuOf::None},

    {&TextSet::serversTitle, "Device server ports on the network",
     "Ports von Ger\u00e4teservern im Netzwerk", MenuOf::None},
    {&TextSet::hostColumn, "Host", "Host-Adresse", MenuOf::None},
    {&TextSet::tcpPortColumn, "TCP port", "TCP-Port", MenuOf::None},
    {&TextSet::protocolColumn, "Protocol", "Protokoll", MenuOf::None},
    {&TextSet::noteColumn, "Note", "Hinweis", MenuOf::None},
    {&TextSet::rfc2217Protocol, "RFC 2217 (COM port control)", "RFC 2217 (COM-Port-Steuerung)",
     MenuOf::None},
    {&TextSet::rawProtocol, "Raw TCP", "Roh-TCP", MenuOf::None},
    {&TextSet::serverWins, "used instead of the local %1", "statt des lokalen %1 verwendet",
     MenuOf::None},
    {&TextSet::serverAsLabel, "as", "als", MenuOf::None},
    {&TextSet::addServerButton, "Add", "Hinzuf\u00fcgen", MenuOf::None},
    {&TextSet::removeServerButton, "Remove", "Entfernen", MenuOf::None},
    {&TextSet::noServerHost, "Enter the device server's host name or IP address.",
     "Geben Sie den Hostnamen oder die IP-Adresse des Ger\u00e4teservers ein.", MenuOf::None},
    {&TextSet::badServerHost, "\"%1\" is not a host name or IP address.",
     "\u201e%1\u201c ist kein Hostname und keine IP-Adresse.", MenuOf::None},
};

TextSet Filled(const char* TextEntry::*language) {
  TextSet t;
  for (const TextEntry& entry : kEntries) t.*entry.text = entry.*language;
  return t;
}

}  // namespace

std::span<const TextEntry> TextEntries() {
  return kEntries;
}

TextSet EnglishTextSet() {
  return Filled(&TextEntry::english);
}

TextSet GermanTextSet() {
  return Filled(&TextEntry::german);
}

int KnownLanguageNumber(int languageNumber) {
  return languageNumber == kGermanLanguageNumber ? kGermanLanguageNumber : kEnglishLanguageNumber;
}

TextSet TextSetFor(int languageNumber) {
  return KnownLanguageNumber(languageNumber) == kGermanLanguageNumber ? GermanTextSet()
                                                                      : EnglishTextSet();
}

}  // namespace quorvex
