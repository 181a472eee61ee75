// SPDX-License-Identifier: MIT
#ifndef FIFOCAP_TESTS_RUN_TOOL_HPP
#define FIFOCAP_TESTS_RUN_TOOL_HPP

#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

// Runs a program in a child process with its standard output and error
// captured, bounded in time (30 s, which no run reaches on a busy machine)
// so that a run that waits in an open cannot hang the suite. Given
// FIFOCAP_TEST_LAUNCHER, it runs under that emulator, with argv[0] still
// passed exactly.
struct tool_invocation {
  std::string program{};           // executed file
  std::vector<std::string> argv{}; // argv[0] included, passed exactly
  bool posixly_correct = false;    // POSIXLY_CORRECT is removed from the environment otherwise
  bool stdin_closed = false;       // so that the first descriptor the program opens is 0
  rlim_t data_limit = 0;           // RLIMIT_DATA in bytes, when not 0
  bool unprivileged = false;       // as user and group 65534, with no supplementary groups
  bool must_not_open_fifo = false; // a wait in a FIFO's open ends the run at once
};

struct tool_result {
  int exit_status = -1; // -1 when the child did not exit normally
  int term_signal = 0;  // the signal that ended the child, if one did
  bool timed_out = false;
  bool opened_fifo = false; // waited in a FIFO's open, which must_not_open_fifo forbids
  std::string out;
  std::string err;
};

// Whether the programs run under an emulator.
bool emulated();

struct running_tool {
  pid_t pid = -1;
  int out_fd = -1;
  int err_fd = -1;
};

running_tool start_tool(const tool_invocation &invocation);
// Whether the tool waits in a FIFO's open for a peer, as the kernel tells
// through wchan. Asks for up to 30 s, as a run on a busy machine or under an
// emulator is slow to start.
bool waits_in_fifo_open(const running_tool &tool);
// With must_not_open_fifo, a wait in a FIFO's open is the fault itself: the
// run is ended as soon as it is seen, not at the time bound.
tool_result finish_tool(running_tool &tool, bool must_not_open_fifo = false);
tool_result run_tool(const tool_invocation &invocation);

#endif
