// SPDX-License-Identifier: MIT
#include "cases.hpp"

#include <type_traits>
#include <utility>

namespace {

constexpr std::int32_t mib = 1 << 20;
const std::string not_valid = "pipe size is not valid!: Success\n";
const std::string out_of_range = "pipe size is not valid!: Numerical result out of range\n";
const std::string report = "'{fifo}' fifo size: 1048576\n";
const std::string not_a_pipe = "set fifo size failed!: Bad file descriptor\n";

// Refused by parse_command_line, with what the binary writes.
command_case refused(const char *name, std::vector<std::string> args, std::string out,
                     std::string err = "") {
  return {.name = name, .args = std::move(args), .out = std::move(out), .err = std::move(err)};
}

// Accepted, with -v (VERBOSE) or without, asking for SIZE_BYTES of the
// FIFO; the binary's report shows the 1 MiB granted.
command_case accepted(const char *name, std::vector<std::string> args, std::int32_t size_bytes,
                      std::int32_t verbose = 0) {
  return {.name = name,
          .args = std::move(args),
          .exit_status = 0,
          .out = verbose != 0 ? report : "",
          .verbose = verbose,
          .size_bytes = size_bytes};
}

// `c` with FIELD set to VALUE, for a row that differs in one more field.
template <class Field>
command_case but(command_case c, Field command_case::*field, std::type_identity_t<Field> value) {
  c.*field = std::move(value);
  return c;
}

} // namespace

const std::vector<command_case> command_cases = {
    // Refused before the count is read.
    refused("no_operands", {}, "{usage}"),
    refused("one_operand", {"{fifo}"}, "{usage}"),
    refused("three_operands", {"{fifo}", "1", "2"}, "{usage}"),
    refused("unknown_option", {"-x", "{fifo}", "1"}, "{usage}", "{argv0}: invalid option -- 'x'\n"),
    refused("other_letter", {"-q", "{fifo}", "1"}, "{usage}", "{argv0}: invalid option -- 'q'\n"),
    refused("long_option", {"--verbose", "{fifo}", "1"}, "{usage}",
            "{argv0}: invalid option -- '-'\n"),
    refused("plain_negative_count", {"{fifo}", "-3"}, "{usage}",
            "{argv0}: invalid option -- '3'\n"),
    {.name = "posixly_correct_trailing_v",
     .args = {"{fifo}", "1", "-v"},
     .out = "{usage}",
     .posixly_correct = true},
    // Invalid counts, among them those that atoi would wrap into range.
    refused("zero", {"{fifo}", "0"}, "", not_valid),
    refused("letters", {"{fifo}", "abc"}, "", not_valid),
    refused("empty", {"{fifo}", ""}, "", not_valid),
    refused("hexadecimal", {"{fifo}", "0x10"}, "", not_valid),
    refused("too_large", {"{fifo}", "2048"}, "", not_valid),
    refused("beyond_a_32_bit_long", {"{fifo}", "2147483648"}, "", not_valid),
    refused("wraps_in_32_bits", {"{fifo}", "4294967297"}, "", not_valid),
    refused("negative_wraps_in_32_bits", {"--", "{fifo}", "-4294967295"}, "", not_valid),
    refused("negative_after_double_hyphen", {"--", "{fifo}", "-3"}, "", not_valid),
    refused("negative_after_blank", {"{fifo}", " -3"}, "", not_valid),
    refused("wraps_in_64_bits", {"{fifo}", "18446744073709551617"}, "", out_of_range),
    refused("beyond_long", {"{fifo}", "99999999999999999999999"}, "", out_of_range),
    refused("far_beyond_long", {"{fifo}", "99999999999999999999999999999"}, "", out_of_range),
    refused("negative_beyond_long", {"--", "{fifo}", "-18446744073709551615"}, "", out_of_range),
    // Accepted: the options wherever glibc lets them stand.
    accepted("quiet", {"{fifo}", "1"}, mib),
    accepted("verbose", {"-v", "{fifo}", "1"}, mib, 1),
    accepted("verbose_after_operands", {"{fifo}", "1", "-v"}, mib, 1),
    accepted("verbose_cluster", {"-vv", "{fifo}", "1"}, mib, 1),
    accepted("verbose_cluster_then_double_hyphen", {"-vv", "--", "{fifo}", "1"}, mib, 1),
    accepted("verbose_twice", {"-v", "-v", "{fifo}", "1"}, mib, 1),
    but(accepted("path_after_double_hyphen", {"--", "-x", "5"}, 5 * mib), &command_case::path,
        "-x"),
    but(accepted("long_path", {std::string(300, 'p'), "2"}, 2 * mib), &command_case::path,
        std::string(300, 'p')),
    but(accepted("stdin_closed", {"-v", "{fifo}", "1"}, mib, 1), &command_case::stdin_closed, true),
    // The path is printed as it stands, never as a format.
    but(accepted("printf_conversions_in_path", {"-v", "{fifo}", "1"}, mib, 1),
        &command_case::fifo_name, "%s%n%s"),
    // The count as atoi reads it.
    accepted("largest", {"{fifo}", "2047"}, 2047 * mib),
    accepted("fraction", {"{fifo}", "1.5"}, mib),
    accepted("trailing_letters", {"{fifo}", "12abc"}, 12 * mib),
    accepted("leading_blank", {"{fifo}", " 7"}, 7 * mib),
    accepted("plus_sign", {"{fifo}", "+7"}, 7 * mib),
    accepted("blanks_then_plus_sign", {"{fifo}", "\t\n+7"}, 7 * mib),
    accepted("leading_zeros", {"{fifo}", "007"}, 7 * mib),
    accepted("fraction_blank_plus", {"-v", "{fifo}", " +1.5"}, mib, 1),
    // Accepted, but the path is not a FIFO; nothing is ever created.
    {.name = "regular_file",
     .args = {"-v", "{dir}/plain", "1"},
     .exit_status = 0,
     .out = "'{dir}/plain' fifo size: -1\n",
     .err = not_a_pipe + "get fifo size  failed!: Bad file descriptor\n",
     .verbose = 1,
     .size_bytes = mib,
     .path = "{dir}/plain"},
    // Without -v nothing is queried, so nothing more fails.
    {.name = "regular_file_quiet",
     .args = {"{dir}/plain", "1"},
     .exit_status = 0,
     .err = not_a_pipe,
     .size_bytes = mib,
     .path = "{dir}/plain"},
    {.name = "missing_path",
     .args = {"-v", "{dir}/missing", "1"},
     .err = "open fifo failed!: No such file or directory\n",
     .verbose = 1,
     .size_bytes = mib,
     .path = "{dir}/missing"},
};

std::vector<command_case> binary_cases() {
  std::vector<command_case> cases;
  for (const command_case &c : command_cases) {
    if (c.size_bytes <= mib) {
      cases.push_back(c);
    }
  }
  return cases;
}

std::string expected_usage(const std::string &invocation_name) {
  return "Usage: " + invocation_name + " [-v(erbose)] <fifo> <size in Mb>\nSet fifo buffer size\n";
}

namespace {

std::string replaced(std::string text, const std::string &key, const std::string &value) {
  for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
    text.replace(at, key.size(), value);
  }
  return text;
}

} // namespace

std::string filled(std::string text, const std::string &fifo, const std::string &dir,
                   const std::string &argv0) {
  text = replaced(text, "{usage}", expected_usage(argv0));
  text = replaced(text, "{fifo}", fifo);
  text = replaced(text, "{dir}", dir);
  return replaced(text, "{argv0}", argv0);
}

void PrintTo(const command_case &c, std::ostream *os) { *os << c.name; }
