// SPDX-License-Identifier: MIT
#include "cases.hpp"

namespace {

constexpr std::int32_t mib = 1 << 20;
const std::string not_valid = "pipe size is not valid!: Success\n";
const std::string out_of_range = "pipe size is not valid!: Numerical result out of range\n";
const std::string report = "'{fifo}' fifo size: 1048576\n";
const std::string not_a_pipe = "set fifo size failed!: Bad file descriptor\n";

} // namespace

const std::vector<command_case> command_cases = {
    // Refused before the count is read.
    {.name = "no_operands", .args = {}, .out = "{usage}"},
    {.name = "one_operand", .args = {"{fifo}"}, .out = "{usage}"},
    {.name = "three_operands", .args = {"{fifo}", "1", "2"}, .out = "{usage}"},
    {.name = "unknown_option",
     .args = {"-x", "{fifo}", "1"},
     .out = "{usage}",
     .err = "{argv0}: invalid option -- 'x'\n"},
    {.name = "other_letter",
     .args = {"-q", "{fifo}", "1"},
     .out = "{usage}",
     .err = "{argv0}: invalid option -- 'q'\n"},
    {.name = "long_option",
     .args = {"--verbose", "{fifo}", "1"},
     .out = "{usage}",
     .err = "{argv0}: invalid option -- '-'\n"},
    {.name = "plain_negative_count",
     .args = {"{fifo}", "-3"},
     .out = "{usage}",
     .err = "{argv0}: invalid option -- '3'\n"},
    {.name = "posixly_correct_trailing_v",
     .args = {"{fifo}", "1", "-v"},
     .out = "{usage}",
     .posixly_correct = true},
    // Invalid counts, among them those that atoi would wrap into range.
    {.name = "zero", .args = {"{fifo}", "0"}, .err = not_valid},
    {.name = "letters", .args = {"{fifo}", "abc"}, .err = not_valid},
    {.name = "empty", .args = {"{fifo}", ""}, .err = not_valid},
    {.name = "hexadecimal", .args = {"{fifo}", "0x10"}, .err = not_valid},
    {.name = "too_large", .args = {"{fifo}", "2048"}, .err = not_valid},
    {.name = "beyond_a_32_bit_long", .args = {"{fifo}", "2147483648"}, .err = not_valid},
    {.name = "wraps_in_32_bits", .args = {"{fifo}", "4294967297"}, .err = not_valid},
    {.name = "negative_wraps_in_32_bits",
     .args = {"--", "{fifo}", "-4294967295"},
     .err = not_valid},
    {.name = "negative_after_double_hyphen", .args = {"--", "{fifo}", "-3"}, .err = not_valid},
    {.name = "negative_after_blank", .args = {"{fifo}", " -3"}, .err = not_valid},
    {.name = "wraps_in_64_bits", .args = {"{fifo}", "18446744073709551617"}, .err = out_of_range},
    {.name = "beyond_long", .args = {"{fifo}", "99999999999999999999999"}, .err = out_of_range},
    {.name = "far_beyond_long",
     .args = {"{fifo}", "99999999999999999999999999999"},
     .err = out_of_range},
    {.name = "negative_beyond_long",
     .args = {"--", "{fifo}", "-18446744073709551615"},
     .err = out_of_range},
    // Accepted: the options wherever glibc lets them stand.
    {.name = "quiet", .args = {"{fifo}", "1"}, .exit_status = 0, .size_bytes = mib},
    {.name = "verbose",
     .args = {"-v", "{fifo}", "1"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib},
    {.name = "verbose_after_operands",
     .args = {"{fifo}", "1", "-v"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib},
    {.name = "verbose_cluster",
     .args = {"-vv", "{fifo}", "1"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib},
    {.name = "verbose_cluster_then_double_hyphen",
     .args = {"-vv", "--", "{fifo}", "1"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib},
    {.name = "verbose_twice",
     .args = {"-v", "-v", "{fifo}", "1"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib},
    {.name = "path_after_double_hyphen",
     .args = {"--", "-x", "5"},
     .exit_status = 0,
     .size_bytes = 5 * mib,
     .path = "-x"},
    {.name = "long_path",
     .args = {std::string(300, 'p'), "2"},
     .exit_status = 0,
     .size_bytes = 2 * mib,
     .path = std::string(300, 'p')},
    {.name = "stdin_closed",
     .args = {"-v", "{fifo}", "1"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib,
     .stdin_closed = true},
    // The path is printed as it stands, never as a format.
    {.name = "printf_conversions_in_path",
     .args = {"-v", "{fifo}", "1"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib,
     .fifo_name = "%s%n%s"},
    // The count as atoi reads it.
    {.name = "largest", .args = {"{fifo}", "2047"}, .exit_status = 0, .size_bytes = 2047 * mib},
    {.name = "fraction", .args = {"{fifo}", "1.5"}, .exit_status = 0, .size_bytes = mib},
    {.name = "trailing_letters",
     .args = {"{fifo}", "12abc"},
     .exit_status = 0,
     .size_bytes = 12 * mib},
    {.name = "leading_blank", .args = {"{fifo}", " 7"}, .exit_status = 0, .size_bytes = 7 * mib},
    {.name = "plus_sign", .args = {"{fifo}", "+7"}, .exit_status = 0, .size_bytes = 7 * mib},
    {.name = "blanks_then_plus_sign",
     .args = {"{fifo}", "\t\n+7"},
     .exit_status = 0,
     .size_bytes = 7 * mib},
    {.name = "leading_zeros", .args = {"{fifo}", "007"}, .exit_status = 0, .size_bytes = 7 * mib},
    {.name = "fraction_blank_plus",
     .args = {"-v", "{fifo}", " +1.5"},
     .exit_status = 0,
     .out = report,
     .verbose = 1,
     .size_bytes = mib},
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
