// SPDX-License-Identifier: MIT
#include "command_line.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

constexpr std::int32_t mib = 1 << 20;

// Parses in-process; getopt keeps state, and glibc re-initialises it when
// optind is 0. The output is captured and left to the tests of the binary.
// The request points into `args`, which the caller keeps, as argv is kept.
int parse(std::vector<std::string> &args, fifo_request &request) {
  args.insert(args.begin(), "fifocap");
  std::vector<char *> argv;
  for (auto &arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  optind = 0;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = parse_command_line(static_cast<int>(args.size()), argv.data(), request);
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  return status;
}

struct accepted_case {
  std::vector<std::string> args;
  std::int32_t verbose;
  std::string path;
  std::int32_t size_bytes;
};

void PrintTo(const accepted_case &c, std::ostream *os) { *os << testing::PrintToString(c.args); }

class accepted : public testing::TestWithParam<accepted_case> {};

TEST_P(accepted, yields_the_request) {
  const accepted_case &c = GetParam();
  std::vector<std::string> args = c.args;
  fifo_request request;
  ASSERT_EQ(parse(args, request), 0);
  EXPECT_EQ(request.verbose, c.verbose);
  EXPECT_STREQ(request.path, c.path.c_str());
  EXPECT_EQ(request.size_bytes, c.size_bytes);
}

const std::string long_path(300, 'p');

INSTANTIATE_TEST_SUITE_P(
    cases, accepted,
    testing::Values(
        // options, wherever glibc lets them stand
        accepted_case{{"f", "1"}, 0, "f", mib}, accepted_case{{"-v", "f", "1"}, 1, "f", mib},
        accepted_case{{"f", "1", "-v"}, 1, "f", mib}, accepted_case{{"-vv", "f", "1"}, 1, "f", mib},
        accepted_case{{"-v", "-v", "f", "1"}, 1, "f", mib},
        accepted_case{{"--", "-x", "5"}, 0, "-x", 5 * mib},
        accepted_case{{long_path, "2"}, 0, long_path, 2 * mib},
        // the count as atoi reads it
        accepted_case{{"f", "2047"}, 0, "f", 2047 * mib}, accepted_case{{"f", "1.5"}, 0, "f", mib},
        accepted_case{{"f", "12abc"}, 0, "f", 12 * mib},
        accepted_case{{"f", " 7"}, 0, "f", 7 * mib},
        accepted_case{{"f", "\t\n+7"}, 0, "f", 7 * mib},
        accepted_case{{"f", "007"}, 0, "f", 7 * mib}));

class refused : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(refused, exits_1) {
  std::vector<std::string> args = GetParam();
  fifo_request request;
  EXPECT_EQ(parse(args, request), 1);
}

using args = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(cases, refused,
                         testing::Values(
                             // invalid counts, among them those that atoi would wrap into range
                             args{"f", "0"}, args{"f", "abc"}, args{"f", ""}, args{"f", "2048"},
                             args{"f", "4294967297"}, args{"--", "f", "-4294967295"},
                             args{"--", "f", "-18446744073709551615"},
                             args{"f", "18446744073709551617"},
                             args{"f", "99999999999999999999999999999"}, args{"--", "f", "-3"},
                             args{"f", " -3"}, args{"f", "0x10"},
                             // refused before the count is read
                             args{}, args{"f"}, args{"f", "1", "2"}, args{"-x", "f", "1"},
                             args{"--verbose", "f", "1"}, args{"f", "-3"}));

TEST(parse_command_line, usage_names_the_program_as_invoked_whole_and_unformatted) {
  std::string name = "/a/%s%s%s%n/" + std::string(200, 'n');
  char *argv[] = {name.data(), nullptr};
  fifo_request request;
  optind = 0;
  testing::internal::CaptureStdout();
  EXPECT_EQ(parse_command_line(1, argv, request), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Usage: " + name + " [-v(erbose)] <fifo> <size in Mb>\nSet fifo buffer size\n");
}

TEST(parse_command_line, empty_argument_vector_names_the_tool_in_the_usage) {
  char *argv[] = {nullptr};
  fifo_request request;
  optind = 0;
  testing::internal::CaptureStdout();
  EXPECT_EQ(parse_command_line(0, argv, request), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Usage: fifocap [-v(erbose)] <fifo> <size in Mb>\nSet fifo buffer size\n");
}

} // namespace
