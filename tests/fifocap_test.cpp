// SPDX-License-Identifier: MIT
// Runs the built binary on real FIFOs that the test makes and, where a case
// needs the pipe to outlive the run, holds open itself.
#include "cases.hpp"
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

// The fifocap under test: this build's, or the one that FIFOCAP_TEST_BINARY
// names (an installed one, or a release's for another architecture).
std::string binary_under_test() {
  const char *named = std::getenv("FIFOCAP_TEST_BINARY");
  return named != nullptr && *named != '\0' ? named : FIFOCAP_BINARY;
}
const std::string binary = binary_under_test();

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

  void make_fifo_in(const fs::path &where, const std::string &name = "fifo") {
    fs::create_directories(where);
    fifo = (where / name).string();
    if (!fs::is_fifo(fifo)) {
      ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
      ASSERT_EQ(chmod(fifo.c_str(), 0666), 0);
    }
  }

  // O_RDWR on a FIFO does not wait for a peer on Linux; while this
  // descriptor is open the pipe, and its capacity, outlive the tool's run.
  void hold_fifo() {
    holder = open(fifo.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);
  }

  void release_fifo() {
    if (holder >= 0) {
      close(holder);
      holder = -1;
    }
  }

  int held_capacity() const { return fcntl(holder, F_GETPIPE_SZ); }

  // Runs the binary with args after argv[0], {fifo} and {dir} filled in;
  // `invocation` may set the rest.
  tool_result run(const std::vector<std::string> &args, tool_invocation invocation = {}) const {
    invocation.program = binary;
    invocation.argv = {binary};
    for (const auto &arg : args) {
      invocation.argv.push_back(fill(arg, binary));
    }
    return run_tool(invocation);
  }

  std::string fill(const std::string &text, const std::string &argv0) const {
    return filled(text, fifo, dir.string(), argv0);
  }

  // Carries out a row of the table with `tool`, run by the words of
  // `runner` (valgrind's, say) or directly, and checks every outcome. A
  // row that should open the FIFO finds it held; any other row finds it
  // with no writer, so a run that opened it waits there, and is caught at
  // once.
  void expect_row(const command_case &c, const std::vector<std::string> &runner = {},
                  const std::string &tool = binary) {
    make_fifo_in(dir, c.fifo_name);
    std::ofstream(dir / "plain") << "data";
    const bool opens = c.exit_status == 0;
    if (opens) {
      hold_fifo();
    }
    const int before = opens ? held_capacity() : 0;
    tool_invocation invocation{.posixly_correct = c.posixly_correct,
                               .stdin_closed = c.stdin_closed,
                               .must_not_open_fifo = !opens};
    invocation.argv = runner;
    invocation.argv.push_back(tool);
    for (const auto &arg : c.args) {
      invocation.argv.push_back(fill(arg, tool));
    }
    invocation.program = invocation.argv[0];
    const tool_result result = run_tool(invocation);
    ASSERT_FALSE(result.opened_fifo) << "opened the FIFO, which a refused command line must not";
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_status, c.exit_status);
    EXPECT_EQ(result.out, fill(c.out, tool));
    EXPECT_EQ(result.err, fill(c.err, tool));
    if (opens) {
      EXPECT_EQ(held_capacity(), c.path == "{fifo}" ? c.size_bytes : before);
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
    release_fifo();
  }

  void TearDown() override {
    release_fifo();
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  fs::path dir;
  std::string fifo;
  int holder = -1;
};

class binary_case : public fifo_test, public testing::WithParamInterface<command_case> {};

TEST_P(binary_case, exits_writes_and_sets_what_the_table_says) { expect_row(GetParam()); }

INSTANTIATE_TEST_SUITE_P(table, binary_case, testing::ValuesIn(binary_cases()),
                         [](const auto &info) { return std::string(info.param.name); });

// Every row of the table again, under valgrind's memcheck, on this build's
// code: any memory error or leak fails, as valgrind's report then joins
// standard error. One test for each row, so that they run side by side.
#ifdef FIFOCAP_MEMCHECK_OFF
TEST(memcheck, off) { GTEST_SKIP() << FIFOCAP_MEMCHECK_OFF; }
#else
class memcheck : public fifo_test, public testing::WithParamInterface<command_case> {};

TEST_P(memcheck, finds_nothing) {
  expect_row(GetParam(),
             {VALGRIND, "-q", "--error-exitcode=99", "--leak-check=full",
              "--errors-for-leak-kinds=definite,indirect,possible", "--read-inline-info=no"},
             FIFOCAP_MEMCHECK_BINARY);
}

INSTANTIATE_TEST_SUITE_P(table, memcheck, testing::ValuesIn(binary_cases()),
                         [](const auto &info) { return std::string(info.param.name); });
#endif

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

// Runs on a FIFO with no writer wait in the open, with no time-out, until
// a writer comes or an interrupt (SIGINT, as from the terminal; the
// parameter) ends them by its default action.
class waiting_run : public fifo_test, public testing::WithParamInterface<bool> {};

TEST_P(waiting_run, waits_in_the_open_until_a_writer_or_an_interrupt_comes) {
  const bool interrupted = GetParam();
  running_tool tool = start_tool({binary, {binary, "-v", fifo, "1"}});
  // EXPECT, not ASSERT: finish_tool below ends a run that went astray.
  EXPECT_TRUE(waits_in_fifo_open(tool)) << "the run did not wait in the open";
  int writer = -1;
  if (interrupted) {
    kill(tool.pid, SIGINT);
  } else {
    // Non-blocking, so that a run which did not wait leaves no open to hang in.
    writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK); // meets the tool's reader
    EXPECT_GE(writer, 0) << "no reader was waiting in the open";
  }
  const tool_result result = finish_tool(tool);
  EXPECT_EQ(result.exit_status, interrupted ? -1 : 0);
  EXPECT_EQ(result.term_signal, interrupted ? SIGINT : 0);
  EXPECT_EQ(result.out, interrupted ? "" : "'" + fifo + "' fifo size: 1048576\n");
  EXPECT_EQ(result.err, "");
  if (writer >= 0) {
    EXPECT_EQ(fcntl(writer, F_GETPIPE_SZ), mib);
    close(writer);
  }
}

INSTANTIATE_TEST_SUITE_P(runs, waiting_run, testing::Bool(), [](const auto &info) {
  return info.param ? "interrupted" : "writer_comes";
});

TEST_F(fifo_test, long_names_and_paths_are_used_whole) {
  const std::string name = "/an/invocation/%s%s%s%n/" + std::string(100, 'n');
  const tool_result refused = run_tool({binary, {name, "-x"}});
  EXPECT_EQ(refused.out, expected_usage(name));
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
#ifdef FIFOCAP_SANITIZED
  if (binary == FIFOCAP_BINARY) {
    GTEST_SKIP() << "AddressSanitizer's shadow memory does not fit a data limit of 256 KiB";
  }
#endif
  if (emulated()) {
    GTEST_SKIP() << "under an emulator the data limit binds the emulator, not the tool";
  }
  const std::string name(20000, 'n');
  const tool_result usage =
      run_tool({.program = binary, .argv = {name, "-x"}, .data_limit = 256 << 10});
  EXPECT_EQ(usage.exit_status, 1);
  EXPECT_EQ(usage.out, expected_usage(name));
  const tool_result open = run({"-v", std::string(100000, 'p'), "1"}, {.data_limit = 320 << 10});
  EXPECT_EQ(open.exit_status, 1);
  EXPECT_EQ(open.err, "open fifo failed!: File name too long\n");
}

} // namespace
