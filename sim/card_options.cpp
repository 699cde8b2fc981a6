// quorvex-cardsim's command line: switches and faults checked, with the help text.
#include "sim/card_options.h"

#include <charconv>
#include <limits>
#include <optional>

namespace quorvex::sim {

namespace {

std::optional<unsigned> ParseNumber(std::string_view text, unsigned low, unsigned high) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

std::string RangeError(std::string_view option, std::string_view value, unsigned low,
                       unsigned high) {
  return std::string(option) + ": '" + std::string(value) + "' is not a whole number from " +
         std::to_string(low) + " to " + std::to_string(high);
}

// "A" or "A:N".
std::optional<DropRule> ParseDropRule(std::string_view text) {
  DropRule rule;
  const std::size_t colon = text.find(':');
  const auto address = ParseNumber(text.substr(0, colon), 0, 0x7FFF);
  if (!address) return std::nullopt;
  rule.address = static_cast<std::uint16_t>(*address);
  if (colon != std::string_view::npos) {
    rule.count = ParseNumber(text.substr(colon + 1), 0, std::numeric_limits<unsigned>::max());
    if (!rule.count) return std::nullopt;
  }
  return rule;
}

}  // namespace

ParsedOptions ParseCardOptions(const std::vector<std::string>& args, std::string_view envComDir) {
  ParsedOptions result;
  CardOptions& o = result.options;
  constexpr unsigned kMaxCount = std::numeric_limits<unsigned>::max();

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (const std::size_t eq = name.find('=');
        name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    const auto takeValue = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 < args.size()) return args[++i];
      result.error = name + " needs a value";
      return std::nullopt;
    };
    const auto number = [&](unsigned low, unsigned high) -> std::optional<unsigned> {
      const auto value = takeValue();
      if (!value) return std::nullopt;
      const auto parsed = ParseNumber(*value, low, high);
      if (!parsed) result.error = RangeError(name, *value, low, high);
      return parsed;
    };
    const bool flag = name == "--help" || name == "-h" || name == "--silent";
    if (flag && inlineValue) {
      result.error = name + " takes no value";
      return result;
    }

    if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--silent") {
      o.faults.silent = true;
    } else if (name == "--port") {
      const auto v = number(1, 255);
      if (!v) return result;
      o.port = static_cast<int>(*v);
    } else if (name == "--com-dir" || name == "--image" || name == "--log") {
      const auto v = takeValue();
      if (!v) return result;
      if (v->empty()) {
        result.error = name + " needs a non-empty value";
        return result;
      }
      (name == "--com-dir" ? o.comDir : name == "--image" ? o.imagePath : o.logPath) = *v;
    } else if (name == "--bad-check") {
      const auto v = number(0, kMaxCount);
      if (!v) return result;
      o.faults.badCheck = *v;
    } else if (name == "--drop-register") {
      const auto v = takeValue();
      if (!v) return result;
      const auto rule = ParseDropRule(*v);
      if (!rule) {
        result.error = "--drop-register: '" + *v +
                       "' is not A or A:N (register 0 to 32767, N how many requests)";
        return result;
      }
      o.faults.dropRegisters.push_back(*rule);
    } else if (name == "--delay") {
      const auto v = number(0, 60000);
      if (!v) return result;
      o.delay = std::chrono::milliseconds(*v);
    } else if (name == "--hangup-after") {
      const auto v = number(0, kMaxCount);
      if (!v) return result;
      o.faults.hangupAfter = *v;
    } else if (name == "--gap") {
      const auto v = number(1, 60000);
      if (!v) return result;
      o.frameGap = std::chrono::milliseconds(*v);
    } else {
      result.error = "unknown argument '" + args[i] + "'";
      return result;
    }
  }

  if (o.help) return result;
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
