// SPDX-License-Identifier: MIT
// Runs parse_command_line in-process on every command line of the table.
#include "cases.hpp"
#include "command_line.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct parse_result {
  int status = -1;
  std::string out;
  std::string err;
};

// Parses ARGS after argv[0]; getopt keeps state, and glibc re-initialises
// it, reading POSIXLY_CORRECT afresh, when optind is 0. The request points
// into `args`, which the caller keeps, as argv is kept.
parse_result parse(std::vector<std::string> &args, fifo_request &request,
                   bool posixly_correct = false) {
  std::vector<char *> argv;
  for (auto &arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  if (posixly_correct) {
    setenv("POSIXLY_CORRECT", "1", 1);
  }
  optind = 0;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  parse_result result;
  result.status = parse_command_line(static_cast<int>(args.size()), argv.data(), request);
  result.out = testing::internal::GetCapturedStdout();
  result.err = testing::internal::GetCapturedStderr();
  unsetenv("POSIXLY_CORRECT");
  return result;
}

class parse_case : public testing::TestWithParam<command_case> {};

TEST_P(parse_case, yields_the_request_or_refuses_with_its_texts) {
  const command_case &c = GetParam();
  const auto fill = [](const std::string &text) { return filled(text, "fifo", "dir", "fifocap"); };
  std::vector<std::string> args{"fifocap"};
  for (const auto &arg : c.args) {
    args.push_back(fill(arg));
  }
  fifo_request request;
  const parse_result result = parse(args, request, c.posixly_correct);
  if (c.size_bytes == 0) {
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, fill(c.out));
    EXPECT_EQ(result.err, fill(c.err));
    return;
  }
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_EQ(request.verbose, c.verbose);
  EXPECT_STREQ(request.path, fill(c.path).c_str());
  EXPECT_EQ(request.size_bytes, c.size_bytes);
}

INSTANTIATE_TEST_SUITE_P(table, parse_case, testing::ValuesIn(command_cases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(parse_command_line, usage_names_the_program_as_invoked_whole_and_unformatted) {
  std::vector<std::string> args{"/a/%s%s%s%n/" + std::string(200, 'n')};
  fifo_request request;
  EXPECT_EQ(parse(args, request).out, expected_usage(args[0]));
}

TEST(parse_command_line, empty_argument_vector_names_the_tool_in_the_usage) {
  std::vector<std::string> args;
  fifo_request request;
  const parse_result result = parse(args, request);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, expected_usage("fifocap"));
}

} // namespace
