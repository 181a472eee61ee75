// SPDX-License-Identifier: MIT
#include "command_line.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr long long largest_count = 2047; // 2048 << 20 no longer fits an int32
constexpr int bytes_per_count_shift = 20;

// The name is an argument, never part of the format: a name such as %s%n
// is printed as it stands.
void print_usage(const char *invocation_name) { std::printf(usage_text, invocation_name); }

// Reads the count as atoi would, but through strtoll so that a count too
// long for 64 bits saturates (with errno ERANGE) instead of wrapping back
// into the valid range. long long, not long: a long has 32 bits on some
// targets, and the size error's text must not depend on the target.
// Returns 0 for any invalid count.
std::int32_t size_from_count(const char *text) {
  errno = 0;
  const long long count = std::strtoll(text, nullptr, 10);
  if (count < 1 || count > largest_count) {
    return 0;
  }
  return static_cast<std::int32_t>(count << bytes_per_count_shift);
}

} // namespace

int parse_command_line(int argc, char *argv[], fifo_request &request) {
  // getopt permutes only argv[1..], so argv[0] is still the invocation name
  // whenever the usage text is printed below. A process exec'd with an empty
  // argument vector has no name to show.
  const char *invocation_name = argc > 0 ? argv[0] : "fifocap";

  request.verbose = 0;
  int option = 0;
  while ((option = getopt(argc, argv, "v")) != -1) {
    if (option != 'v') {
      print_usage(invocation_name);
      return 1;
    }
    request.verbose = 1;
  }

  if (argc - optind != 2) {
    print_usage(invocation_name);
    return 1;
  }
  request.path = argv[optind];
  request.size_bytes = size_from_count(argv[optind + 1]);
  if (request.size_bytes <= 0) {
    std::perror("pipe size is not valid!");
    return 1;
  }
  return 0;
}
