// quorvex-cardsim's command line: switches and faults checked, with the help text.
#include "sim/card_options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <limits>
#include <optional>

namespace quorvex::sim {

namespace {

constexpr unsigned kMaxCount = std::numeric_limits<unsigned>::max();

std::optional<unsigned> ParseNumber(std::string_view text, unsigned low, unsigned high) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

// CLI11 reads numbers with strtoul's base 0, where "010" is eight and "0x10" sixteen; the card's
// switches take plain decimal, so the text is checked here and handed on in canonical form.
CLI::Validator WholeNumber(unsigned low, unsigned high) {
  return CLI::Validator(
      [low, high](std::string& text) -> std::string {
        const auto value = ParseNumber(text, low, high);
        if (!value) {
          return "'" + text + "' is not a whole number from " + std::to_string(low) + " to " +
                 std::to_string(high);
        }
        text = std::to_string(*value);
        return "";
      },
      "");
}

const CLI::Validator kNonEmpty(
    [](std::string& text) { return text.empty() ? std::string("needs a non-empty value") : ""; },
    "");

// The receive triggers a 16550's FIFO control register offers.
const CLI::Validator kUartTrigger(
    [](std::string& text) -> std::string {
      const auto value = ParseNumber(text, 1, 14);
      if (!value || (*value != 1 && *value != 4 && *value != 8 && *value != 14)) {
        return "'" + text + "' is not a UART receive trigger: 1, 4, 8 or 14";
      }
      text = std::to_string(*value);
      return "";
    },
    "");

// "A" or "A:N".
std::optional<DropRule> ParseDropRule(std::string_view text) {
  DropRule rule;
  const std::size_t colon = text.find(':');
  const auto address = ParseNumber(text.substr(0, colon), 0, 0x7FFF);
  if (!address) return std::nullopt;
  rule.address = static_cast<std::uint16_t>(*address);
  if (colon != std::string_view::npos) {
    rule.count = ParseNumber(text.substr(colon + 1), 0, kMaxCount);
    if (!rule.count) return std::nullopt;
  }
  return rule;
}

const CLI::Validator kDropRule(
    [](std::string& text) {
      return ParseDropRule(text) ? std::string()
                                 : "'" + text +
                                       "' is not A or A:N (register 0 to 32767, N how many "
                                       "requests)";
    },
    "");

// What the switches hold before they become CardOptions.
struct Switches {
  unsigned delayMs = 0;
  unsigned gapMs = static_cast<unsigned>(kDefaultFrameGap.count());
  unsigned hangupAfter = 0;
  unsigned adapterLatencyMs = 0;
  unsigned uartTrigger = 1;
  std::vector<std::string> dropRules;
};

// The switches are told by CardHelpText, written by hand for its explanations of the card.
void AddSwitches(CLI::App& app, CardOptions& o, Switches& s) {
  app.set_help_flag("-h,--help");
  // A switch given twice counts with its last value.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("--port", o.port)->type_name("N")->transform(WholeNumber(1, 255));
  app.add_option("--com-dir", o.comDir)->type_name("DIR")->check(kNonEmpty);
  app.add_option("--image", o.imagePath)->type_name("FILE")->check(kNonEmpty);
  app.add_option("--log", o.logPath)->type_name("FILE")->check(kNonEmpty);
  app.add_option("--gap", s.gapMs)->type_name("MS")->transform(WholeNumber(1, 60000));
  app.add_option("--baud", o.line.baud)->type_name("N")->transform(WholeNumber(50, 1000000));
  // An FTDI-class chip takes 1 to 255 ms.
  app.add_option("--adapter-latency", s.adapterLatencyMs)
      ->type_name("MS")
      ->transform(WholeNumber(1, 255));
  app.add_option("--uart-trigger", s.uartTrigger)->type_name("N")->transform(kUartTrigger);
  app.add_flag("--silent", o.faults.silent);
  app.add_option("--bad-check", o.faults.badCheck)
      ->type_name("N")
      ->transform(WholeNumber(0, kMaxCount));
  app.add_option("--drop-register", s.dropRules)
      ->type_name("A[:N]")
      ->check(kDropRule)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->allow_extra_args(false);
  app.add_option("--delay", s.delayMs)->type_name("MS")->transform(WholeNumber(0, 60000));
  app.add_option("--hangup-after", s.hangupAfter)
      ->type_name("K")
      ->transform(WholeNumber(0, kMaxCount));
}

// CLI11 lets "--silent=1" or "--help=yes" through as a value for the switch; these switches take
// none, and a value given to one is more likely a mistake than a wish.
std::string FlagGivenAValue(const CLI::App& app, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) != 0 || eq == std::string::npos) continue;
    const std::string name = arg.substr(2, eq - 2);
    for (const CLI::Option* option : app.get_options()) {
      if (option->get_expected_max() == 0 && option->check_lname(name)) {
        return "--" + name + " takes no value";
      }
    }
  }
  return "";
}

}  // namespace

ParsedOptions ParseCardOptions(const std::vector<std::string>& args, std::string_view envComDir) {
  ParsedOptions result;
  CardOptions& o = result.options;
  Switches s;
  CLI::App app("quorvex-cardsim", "quorvex-cardsim");
  AddSwitches(app, o, s);
  result.error = FlagGivenAValue(app, args);
  if (!result.error.empty()) return result;
  try {
    app.parse(std::vector<std::string>(args.rbegin(), args.rend()));  // CLI11 takes them reversed
  } catch (const CLI::CallForHelp&) {
    o.help = true;
    return result;
  } catch (const CLI::ParseError& e) {
    result.error = e.what();
    return result;
  }
  o.delay = std::chrono::milliseconds(s.delayMs);
  o.frameGap = std::chrono::milliseconds(s.gapMs);
  o.line.adapterLatency = std::chrono::milliseconds(s.adapterLatencyMs);
  o.line.uartTrigger = s.uartTrigger;
  if (app.count("--uart-trigger") > 0 && o.line.baud == 0) {
    result.error = "--uart-trigger needs --baud: the UART's time-out is four byte times";
    return result;
  }
  // An adapter's chip takes the card's bytes; the PC's own UART then sees none of them.
  if (app.count("--uart-trigger") > 0 && app.count("--adapter-latency") > 0) {
    result.error =
        "--uart-trigger plays the PC's own port and --adapter-latency a USB adapter: give one";
    return result;
  }
  if (app.count("--hangup-after") > 0) o.faults.hangupAfter = s.hangupAfter;
  for (const std::string& rule : s.dropRules) {
    o.faults.dropRegisters.push_back(*ParseDropRule(rule));  // checked by kDropRule
  }

  if (o.comDir.empty()) o.comDir = std::string(envComDir);
  if (o.comDir.empty()) {
    result.error =
        "QUORVEX_COM_DIR is not set: set it to the folder where the program looks for its COM "
        "ports, or pass --com-dir DIR";
  }
  return result;
}

std::string CardHelpText() {
  return R"(Usage: quorvex-cardsim [options]

Plays the analogue output card on a pseudo terminal, so the program can be tried without the
card. The terminal is linked as DIR/COM<n>, where DIR is --com-dir or else QUORVEX_COM_DIR; start
the program with the same QUORVEX_COM_DIR and choose COM<n>. Once the link exists, one line
"ready: <link path>" is printed on stdout. The link is removed again on exit (Ctrl+C, SIGTERM).

The card holds 41 registers, the bytes of a configuration image (register = byte index).
  read request with a valid check byte:  reply r0 r1 r2 r3 with r0, r1 the request's first two
                                         bytes, r2 the register's value, r3 = r0 | r1 | r2
  write request with a valid check byte: store the value, then reply the same way
  request with a wrong check byte:       no reply
  register 41 or beyond:                 reads 0, writes are ignored (and still answered)

Frames and garbage: bytes arriving more than the frame gap (--gap, 200 ms) after the previous
byte start a new frame and an unfinished one is thrown away; four bytes with a wrong check byte
are dropped whole. So after noise on the line the card is back in step as soon as the PC pauses,
which it does after any request that got no reply.

Options:
  --port N             link as COM<N>, 1 to 255 (default 1)
  --com-dir DIR        folder for the link (default: $QUORVEX_COM_DIR; one of the two is needed)
  --image FILE         load the registers from FILE (exactly 41 bytes, a .KFG file) when it
                       exists; after every write that changes a register, FILE is replaced
                       atomically with the new image, off the reply path (the reply never
                       waits for the disk; FILE is sure to be current once the simulator has
                       ended); without --image every register starts at 0 and nothing is kept
  --log FILE           write the frame log to FILE instead of stderr: one line per received
                       request, sent reply and dropped byte, with the milliseconds since start
                       and the bytes in hex; lines are flushed as they are written
  --gap MS             the frame gap above, 1 to 60000 (default 200)

The line (all off by default: the card sees each byte the moment it is written, and its reply
reaches the program at once):
  --baud N             bytes take ten bit times at N baud (1200 is the card's line: 8.33 ms a
                       byte), queued behind the bytes before them, in both directions; the card
                       sees a request when its fourth byte has arrived
  --adapter-latency MS
                       play a USB serial adapter with a latency timer of MS ms (1 to 255): what
                       the card sends reaches the program only when the adapter's free-running
                       timer ticks, or at once when 62 bytes are waiting
  --uart-trigger N     play a PC's own serial port (a 16550-type UART) with a receive trigger of
                       N bytes (1, 4, 8 or 14; needs --baud; not with --adapter-latency): what
                       the card sends reaches the program when N bytes are waiting, or four byte
                       times after the last one arrived with no new one (33.3 ms at 1200 baud).
                       8 is what Windows' serial driver sets unless told otherwise; 1 (the
                       default) hands every byte over as it arrives
  The frame log shows the line's times: a request when its last byte reached the card, a reply
  when the card starts sending it (with --baud: until when it is on the line), and with
  --adapter-latency or --uart-trigger above 1 each hand-over to the program.

Faults (each affects the replies only; requests are still carried out):
  --silent             never reply
  --bad-check N        send the first N replies with a wrong check byte
  --drop-register A[:N]
                       no reply to requests for register A: to every one, or with :N to the
                       first N of them; may be given several times
  --delay MS           send every reply MS milliseconds late (0 to 60000)
  --hangup-after K     serve K requests with a valid check byte (answered or not), then close
                       the line and exit when the next byte arrives: the PC sees the port hang
                       up in the middle of a transfer, after it has read the last reply
  -h, --help           this text
)";
}

}  // namespace quorvex::sim
