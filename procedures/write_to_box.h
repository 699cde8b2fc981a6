// Write to box (SendenClick): the check, then the panel's 41 bytes register by register.
#pragma once

#include "procedures/transfer_seams.h"

namespace quorvex {

// The whole write command: status, check, transfer.
TransferOutcome SendenClick(TransferSeams& s);
// Writing: the part of SendenClick after the check passed.
TransferOutcome SendConfiguration(TransferSeams& s);
// Channel n's five registers. Kept on purpose as the named step; the loop uses its counting form.
bool SendChannel(TransferSeams& s, int channel);

}  // namespace quorvex
