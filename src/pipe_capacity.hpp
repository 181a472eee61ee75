// SPDX-License-Identifier: MIT
#ifndef FIFOCAP_PIPE_CAPACITY_HPP
#define FIFOCAP_PIPE_CAPACITY_HPP

#include "command_line.hpp"

// Opens the FIFO read-only, asks for the requested capacity and, with -v,
// prints the capacity in force. Returns the exit status: 1 when the FIFO
// cannot be opened, 0 otherwise (a refused change is reported, not fatal).
int apply_fifo_size(const fifo_request &request);

#endif
