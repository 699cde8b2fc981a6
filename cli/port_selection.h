// Several cards in one command: the port lists of --port and the one exit code for them all.
#pragma once

#include <string>
#include <vector>

namespace quorvex::cli {

// COM numbers from the values of one or more --port options: "3", "3,4,5", "3-10", mixed and
// repeated. The order given is kept, a number named twice counts once. Throws
// std::invalid_argument with the reason for a value that names no port list.
std::vector<int> ParsePortList(const std::vector<std::string>& values);

// The reason a single --port value is not a port list, or "" when it is one.
std::string PortListError(const std::string& value);

// One exit code for many cards: 0 when every card is done and equal, otherwise the highest of
// the cards' codes, so a port that is not available (4) outweighs a failed transfer (3), which
// outweighs a difference (1), and an interrupt (130) outweighs them all.
int CombineExitCodes(const std::vector<int>& codes);

}  // namespace quorvex::cli
