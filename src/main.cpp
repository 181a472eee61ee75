// SPDX-License-Identifier: MIT
#include "command_line.hpp"
#include "pipe_capacity.hpp"

int main(int argc, char *argv[]) {
  fifo_request request;
  if (parse_command_line(argc, argv, request) != 0) {
    return 1;
  }
  return apply_fifo_size(request);
}
