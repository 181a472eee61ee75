// SPDX-License-Identifier: MIT
#ifndef FIFOCAP_COMMAND_LINE_HPP
#define FIFOCAP_COMMAND_LINE_HPP

#include <cstdint>

// What the command line asks for: a FIFO and the capacity to give its pipe.
struct fifo_request {
  std::int32_t verbose = 0;    // report the capacity in force when > 0
  const char *path = nullptr;  // the operand itself: held whole, and argv outlives the run
  std::int32_t size_bytes = 0; // always > 0 in an accepted request
};

// The usage message, two lines; printed with the invocation name for %s.
// Formatting it at print time needs no buffer, so no name is too long.
inline constexpr char usage_text[] =
    "Usage: %s [-v(erbose)] <fifo> <size in Mb>\nSet fifo buffer size\n";

// Reads argv into `request`. Returns 0 when the request is complete, or the
// exit status (1) after writing the usage text or the size error. Uses
// getopt, so callers that parse twice must reset optind first.
int parse_command_line(int argc, char *argv[], fifo_request &request);

#endif
