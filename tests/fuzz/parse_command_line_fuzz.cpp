// SPDX-License-Identifier: MIT
// Feeds parse_command_line argument vectors of any shape: the input split
// on NUL bytes, argv[0] included. Every accepted request must hold what the
// command line said; nothing may read or write out of bounds.
#include "command_line.hpp"

#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The count as the tool must read it, written independently: atoi's
// grammar, but saturating instead of overflowing. 0 means invalid.
long reference_count(const char *text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
    ++text;
  }
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') {
    ++text;
  }
  long count = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    count = count > 100000 ? 100000 : count * 10 + (*text - '0');
  }
  return negative || count > 2047 ? 0 : count;
}

void check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::vector<std::string> words;
  if (size > 0) {
    const char *begin = reinterpret_cast<const char *>(data);
    const char *end = begin + size;
    for (const char *at = begin; at <= end;) {
      const char *nul = static_cast<const char *>(std::memchr(at, '\0', end - at));
      const char *stop = nul != nullptr ? nul : end;
      words.emplace_back(at, stop);
      at = stop + 1;
    }
  }
  std::vector<char *> argv;
  for (auto &word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  optind = 0; // glibc: start getopt afresh
  fifo_request request;
  const int status = parse_command_line(argc, argv.data(), request);
  check(status == 0 || status == 1);
  if (status == 0) {
    // getopt has moved the operands to the end of argv.
    check(argc - optind == 2);
    check(request.verbose == 0 || request.verbose == 1);
    check(request.path == argv[optind]);
    const long count = reference_count(argv[optind + 1]);
    check(count >= 1 && count <= 2047);
    check(request.size_bytes == count * 1048576L);
  }
  return 0;
}
