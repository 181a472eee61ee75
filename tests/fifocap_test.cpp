// SPDX-License-Identifier: MIT
// Runs the built binary on real FIFOs that the test makes and, where a case
// needs the pipe to outlive the run, holds open itself.
#include "run_tool.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int mib = 1 << 20;
const std::string binary = FIFOCAP_BINARY;

long pipe_max_size() {
  long size = 0;
  std::ifstream("/proc/sys/fs/pipe-max-size") >> size;
  return size;
}

bool has_cap_sys_resource() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("CapEff:", 0) == 0) {
      return (std::stoull(line.substr(7), nullptr, 16) >> 24 & 1) != 0; // CAP_SYS_RESOURCE
    }
  }
  return false;
}

std::string replaced(std::string text, const std::string &key, const std::string &value) {
  for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
    text.replace(at, key.size(), value);
  }
  return text;
}

std::string usage_for(const std::string &name) {
  return "Usage: " + name + " [-v(erbose)] <fifo> <size in Mb>\nSet fifo buffer size\n";
}

// A temporary directory, open to every user, with a FIFO in it.
class fifo_test : public testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fifocap-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    fs::permissions(dir, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    make_fifo_in(dir);
  }

  void make_fifo_in(const fs::path &where) {
    fs::create_directories(where);
    fifo = (where / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    ASSERT_EQ(chmod(fifo.c_str(), 0666), 0);
  }

  // O_RDWR on a FIFO does not wait for a peer on Linux; while this
  // descriptor is open the pipe, and its capacity, outlive the tool's run.
  void hold_fifo() {
    holder = open(fifo.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);
  }

  int held_capacity() const { return fcntl(holder, F_GETPIPE_SZ); }

  // Runs the binary with args after argv[0], {fifo} and {dir} filled in;
  // `invocation` may set the rest.
  tool_result run(const std::vector<std::string> &args, tool_invocation invocation = {}) const {
    invocation.program = binary;
    invocation.argv = {binary};
    for (const auto &arg : args) {
      invocation.argv.push_back(replaced(replaced(arg, "{fifo}", fifo), "{dir}", dir.string()));
    }
    return run_tool(invocation);
  }

  void TearDown() override {
    if (holder >= 0) {
      close(holder);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  fs::path dir;
  std::string fifo;
  int holder = -1;
};

// Runs refused before the FIFO is opened. The FIFO has no writer, so a run
// that opened it would wait there until the time bound.
struct refused_case {
  const char *name;
  std::vector<std::string> args; // {fifo} is filled in
  std::string out;               // {usage} is filled in
  std::string err;               // {argv0} is filled in
  bool posixly_correct;
};

// Cases are named, in test names and in failure messages, by their name field.
template <class Case> std::string case_name(const testing::TestParamInfo<Case> &info) {
  return info.param.name;
}

void PrintTo(const refused_case &c, std::ostream *os) { *os << c.name; }

class refused_run : public fifo_test, public testing::WithParamInterface<refused_case> {};

TEST_P(refused_run, exits_1_without_opening_the_fifo) {
  const refused_case &c = GetParam();
  const tool_result result = run(c.args, {.posixly_correct = c.posixly_correct});
  ASSERT_FALSE(result.timed_out) << "the run opened a FIFO that has no writer";
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out, replaced(c.out, "{usage}", usage_for(binary)));
  EXPECT_EQ(result.err, replaced(c.err, "{argv0}", binary));
}

const std::string not_valid = "pipe size is not valid!: Success\n";
const std::string out_of_range = "pipe size is not valid!: Numerical result out of range\n";

INSTANTIATE_TEST_SUITE_P(
    runs, refused_run,
    testing::Values(
        refused_case{"no_operands", {}, "{usage}", "", false},
        refused_case{"one_operand", {"{fifo}"}, "{usage}", "", false},
        refused_case{"three_operands", {"{fifo}", "1", "2"}, "{usage}", "", false},
        refused_case{"unknown_option",
                     {"-x", "{fifo}", "1"},
                     "{usage}",
                     "{argv0}: invalid option -- 'x'\n",
                     false},
        refused_case{"other_letter",
                     {"-q", "{fifo}", "1"},
                     "{usage}",
                     "{argv0}: invalid option -- 'q'\n",
                     false},
        refused_case{"long_option",
                     {"--verbose", "{fifo}", "1"},
                     "{usage}",
                     "{argv0}: invalid option -- '-'\n",
                     false},
        refused_case{"plain_negative_count",
                     {"{fifo}", "-3"},
                     "{usage}",
                     "{argv0}: invalid option -- '3'\n",
                     false},
        refused_case{"posixly_correct_trailing_v", {"{fifo}", "1", "-v"}, "{usage}", "", true},
        refused_case{"zero", {"{fifo}", "0"}, "", not_valid, false},
        refused_case{"letters", {"{fifo}", "abc"}, "", not_valid, false},
        refused_case{"empty", {"{fifo}", ""}, "", not_valid, false},
        refused_case{"too_large", {"{fifo}", "2048"}, "", not_valid, false},
        refused_case{"wraps_in_32_bits", {"{fifo}", "4294967297"}, "", not_valid, false},
        refused_case{"beyond_a_32_bit_long", {"{fifo}", "2147483648"}, "", not_valid, false},
        refused_case{"negative_after_double_hyphen", {"--", "{fifo}", "-3"}, "", not_valid, false},
        refused_case{"negative_after_blank", {"{fifo}", " -3"}, "", not_valid, false},
        refused_case{"beyond_long", {"{fifo}", "99999999999999999999999"}, "", out_of_range, false},
        refused_case{"negative_beyond_long",
                     {"--", "{fifo}", "-18446744073709551615"},
                     "",
                     out_of_range,
                     false}),
    case_name<refused_case>);

// Runs on a FIFO that the test holds open, so the pipe outlives the run and
// its capacity can be checked through the test's own descriptor.
struct accepted_case {
  const char *name;
  std::vector<std::string> args;
  bool reports;
  bool stdin_closed = false; // the FIFO then gets descriptor 0
};

void PrintTo(const accepted_case &c, std::ostream *os) { *os << c.name; }

class accepted_run : public fifo_test, public testing::WithParamInterface<accepted_case> {};

TEST_P(accepted_run, sets_one_mib_and_reports_only_with_v) {
  const accepted_case &c = GetParam();
  hold_fifo();
  const tool_result result = run(c.args, {.stdin_closed = c.stdin_closed});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, c.reports ? "'" + fifo + "' fifo size: 1048576\n" : "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(held_capacity(), mib);
}

INSTANTIATE_TEST_SUITE_P(
    runs, accepted_run,
    testing::Values(accepted_case{"quiet", {"{fifo}", "1"}, false},
                    accepted_case{"verbose", {"-v", "{fifo}", "1"}, true},
                    accepted_case{"verbose_after_operands", {"{fifo}", "1", "-v"}, true},
                    accepted_case{"verbose_twice", {"-vv", "--", "{fifo}", "1"}, true},
                    accepted_case{"fraction_blank_plus", {"-v", "{fifo}", " +1.5"}, true},
                    accepted_case{"stdin_closed", {"-v", "{fifo}", "1"}, true, true}),
    case_name<accepted_case>);

// Runs on a path that is not a FIFO: {dir} is the test's directory, which
// holds a regular file, plain. Nothing is ever created.
struct not_a_fifo_case {
  const char *name;
  std::vector<std::string> args;
  int exit_status;
  std::string out;
  std::string err;
};

void PrintTo(const not_a_fifo_case &c, std::ostream *os) { *os << c.name; }

class not_a_fifo_run : public fifo_test, public testing::WithParamInterface<not_a_fifo_case> {};

TEST_P(not_a_fifo_run, reports_each_failure_it_meets) {
  const not_a_fifo_case &c = GetParam();
  std::ofstream(dir / "plain") << "data";
  const tool_result result = run(c.args);
  EXPECT_EQ(result.exit_status, c.exit_status);
  EXPECT_EQ(result.out, replaced(c.out, "{dir}", dir.string()));
  EXPECT_EQ(result.err, c.err);
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

const std::string not_a_pipe = "set fifo size failed!: Bad file descriptor\n";

INSTANTIATE_TEST_SUITE_P(
    runs, not_a_fifo_run,
    testing::Values(not_a_fifo_case{"regular_file",
                                    {"-v", "{dir}/plain", "1"},
                                    0,
                                    "'{dir}/plain' fifo size: -1\n",
                                    not_a_pipe + "get fifo size  failed!: Bad file descriptor\n"},
                    // without -v nothing is queried, so nothing more fails
                    not_a_fifo_case{"regular_file_quiet", {"{dir}/plain", "1"}, 0, "", not_a_pipe},
                    not_a_fifo_case{"missing_path",
                                    {"-v", "{dir}/missing", "1"},
                                    1,
                                    "",
                                    "open fifo failed!: No such file or directory\n"}),
    case_name<not_a_fifo_case>);

TEST_F(fifo_test, refused_change_still_reports_the_capacity_in_force) {
  const long count = pipe_max_size() / mib + 1;
  if (count > 2047) {
    GTEST_SKIP() << "pipe-max-size is " << pipe_max_size() << ": no count is above it";
  }
  tool_invocation invocation{binary, {binary}};
  if (geteuid() == 0) {
    // The copy lets the unprivileged user reach the binary wherever it was built.
    const std::string copy = (dir / "fifocap").string();
    fs::copy_file(binary, copy);
    invocation = {.program = copy, .argv = {copy}, .unprivileged = true};
  } else if (has_cap_sys_resource()) {
    GTEST_SKIP() << "this user has CAP_SYS_RESOURCE and cannot drop it: nothing is refused";
  }
  invocation.argv.insert(invocation.argv.end(), {"-v", fifo, std::to_string(count)});
  hold_fifo();
  const int before = held_capacity();
  const tool_result result = run_tool(invocation);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "'" + fifo + "' fifo size: " + std::to_string(before) + "\n");
  EXPECT_EQ(result.err, "set fifo size failed!: Operation not permitted\n");
  EXPECT_EQ(held_capacity(), before);
}

TEST_F(fifo_test, reports_the_capacity_granted_after_rounding_up) {
  if (pipe_max_size() < 4L * mib && !has_cap_sys_resource()) {
    GTEST_SKIP() << "rounding 3 MiB up to 4 MiB needs a pipe-max-size of at least 4 MiB (it is "
                 << pipe_max_size() << ") or CAP_SYS_RESOURCE";
  }
  hold_fifo();
  const tool_result result = run({"-v", "{fifo}", "3"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "'" + fifo + "' fifo size: 4194304\n");
  EXPECT_EQ(held_capacity(), 4 * mib);
}

// Runs on a FIFO with no writer: they wait in the open, with no time-out,
// until a writer comes or an interrupt ends them by its default action.
struct waiting_case {
  const char *name;
  bool interrupted; // SIGINT, as from the terminal; otherwise a writer opens the FIFO
  int exit_status;
  int term_signal;
  bool reports;
};

void PrintTo(const waiting_case &c, std::ostream *os) { *os << c.name; }

class waiting_run : public fifo_test, public testing::WithParamInterface<waiting_case> {};

TEST_P(waiting_run, waits_in_the_open_until_a_writer_or_an_interrupt_comes) {
  const waiting_case &c = GetParam();
  running_tool tool = start_tool({binary, {binary, "-v", fifo, "1"}});
  // EXPECT, not ASSERT: finish_tool below ends a run that went astray.
  EXPECT_TRUE(waits_in_fifo_open(tool)) << "the run did not wait in the open";
  int writer = -1;
  if (c.interrupted) {
    kill(tool.pid, SIGINT);
  } else {
    // Non-blocking, so that a run which did not wait leaves no open to hang in.
    writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK); // meets the tool's reader
    EXPECT_GE(writer, 0) << "no reader was waiting in the open";
  }
  const tool_result result = finish_tool(tool);
  EXPECT_EQ(result.exit_status, c.exit_status);
  EXPECT_EQ(result.term_signal, c.term_signal);
  EXPECT_EQ(result.out, c.reports ? "'" + fifo + "' fifo size: 1048576\n" : "");
  EXPECT_EQ(result.err, "");
  if (writer >= 0) {
    EXPECT_EQ(fcntl(writer, F_GETPIPE_SZ), mib);
    close(writer);
  }
}

INSTANTIATE_TEST_SUITE_P(runs, waiting_run,
                         testing::Values(waiting_case{"writer_comes", false, 0, 0, true},
                                         waiting_case{"interrupted", true, -1, SIGINT, false}),
                         case_name<waiting_case>);

TEST_F(fifo_test, long_names_and_paths_are_used_whole) {
  const std::string name = "/an/invocation/%s%s%s%n/" + std::string(100, 'n');
  const tool_result refused = run_tool({binary, {name, "-x"}});
  EXPECT_EQ(refused.out, usage_for(name));
  EXPECT_EQ(refused.err, name + ": invalid option -- 'x'\n");

  make_fifo_in(dir / std::string(130, 'd'));
  ASSERT_GT(fifo.size(), 119U);
  hold_fifo();
  const tool_result result = run({"-v", "{fifo}", "1"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "'" + fifo + "' fifo size: 1048576\n");
  EXPECT_EQ(held_capacity(), mib);
}

TEST_F(fifo_test, short_of_memory_texts_are_still_written_whole) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer's shadow memory does not fit a data limit of 256 KiB";
#endif
  if (emulated()) {
    GTEST_SKIP() << "under an emulator the data limit binds the emulator, not the tool";
  }
  const std::string name(20000, 'n');
  const tool_result usage =
      run_tool({.program = binary, .argv = {name, "-x"}, .data_limit = 256 << 10});
  EXPECT_EQ(usage.exit_status, 1);
  EXPECT_EQ(usage.out, usage_for(name));
  const tool_result open = run({"-v", std::string(100000, 'p'), "1"}, {.data_limit = 320 << 10});
  EXPECT_EQ(open.exit_status, 1);
  EXPECT_EQ(open.err, "open fifo failed!: File name too long\n");
}

} // namespace
