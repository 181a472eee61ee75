// SPDX-License-Identifier: MIT
#ifndef FIFOCAP_TESTS_CASES_HPP
#define FIFOCAP_TESTS_CASES_HPP

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The command lines that the tests run, each written once, with what each
// must come to. Every runner reads them from here: parse_command_line
// in-process, the built binary, and the binary under memcheck.
//
// In the arguments and the texts, {fifo} is a FIFO named fifo_name in the
// test's folder {dir}, which also holds a regular file, plain; {argv0} is
// the invocation name and {usage} the usage text for it.
struct command_case {
  const char *name;
  std::vector<std::string> args{}; // after argv[0]
  int exit_status = 1;             // of the binary
  std::string out{};
  std::string err{};
  // What parse_command_line yields; a size of 0 means that it refuses.
  std::int32_t verbose = 0;
  std::int32_t size_bytes = 0;
  std::string path = "{fifo}";
  bool posixly_correct = false;   // POSIXLY_CORRECT set in the environment
  bool stdin_closed = false;      // so that the FIFO gets descriptor 0
  const char *fifo_name = "fifo"; // may hold printf conversions
};

extern const std::vector<command_case> command_cases;

// The rows that the binary can carry out on any system: the refused ones,
// and those that ask for 1 MiB, which pipe-max-size allows by default.
std::vector<command_case> binary_cases();

// The usage text that the tool must print for an invocation name.
std::string expected_usage(const std::string &invocation_name);

// `text` with {fifo}, {dir}, {argv0} and {usage} filled in.
std::string filled(std::string text, const std::string &fifo, const std::string &dir,
                   const std::string &argv0);

// Cases are named by their name field, in test names and failure messages.
void PrintTo(const command_case &c, std::ostream *os);

#endif
