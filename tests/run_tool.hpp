// SPDX-License-Identifier: MIT
#ifndef FIFOCAP_TESTS_RUN_TOOL_HPP
#define FIFOCAP_TESTS_RUN_TOOL_HPP

#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

// Runs a program in a child process with its standard output and error
// captured, bounded in time (5 s) so that a run that waits in an open
// cannot hang the suite.
struct tool_invocation {
  std::string program{};           // executed file
  std::vector<std::string> argv{}; // argv[0] included, passed exactly
  bool posixly_correct = false;    // POSIXLY_CORRECT is removed from the environment otherwise
  bool stdin_closed = false;       // so that the first descriptor the program opens is 0
  rlim_t data_limit = 0;           // RLIMIT_DATA in bytes, when not 0
};

struct tool_result {
  int exit_status = -1; // -1 when the child did not exit normally
  bool timed_out = false;
  std::string out;
  std::string err;
};

struct running_tool {
  pid_t pid = -1;
  int out_fd = -1;
  int err_fd = -1;
};

running_tool start_tool(const tool_invocation &invocation);
bool still_running(const running_tool &tool);
tool_result finish_tool(running_tool &tool);
tool_result run_tool(const tool_invocation &invocation);

#endif
