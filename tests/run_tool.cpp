// SPDX-License-Identifier: MIT
#include "run_tool.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

std::vector<char *> pointers_to(std::vector<std::string> &strings) {
  std::vector<char *> pointers;
  for (auto &s : strings) {
    pointers.push_back(s.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

std::vector<std::string> child_environment(bool posixly_correct) {
  std::vector<std::string> env;
  for (char **entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "POSIXLY_CORRECT=", 16) != 0) {
      env.emplace_back(*entry);
    }
  }
  if (posixly_correct) {
    env.emplace_back("POSIXLY_CORRECT=1");
  }
  return env;
}

// What runs a binary of another architecture, such as qemu-aarch64-static:
// the blank-separated words of FIFOCAP_TEST_LAUNCHER; none when unset.
std::vector<std::string> launcher() {
  std::vector<std::string> words;
  const char *value = std::getenv("FIFOCAP_TEST_LAUNCHER");
  std::istringstream stream(value != nullptr ? value : "");
  for (std::string word; stream >> word;) {
    words.push_back(word);
  }
  return words;
}

// Where the kernel has the process wait; wait_for_partner is a FIFO's open.
bool waits_for_partner(pid_t pid) {
  std::string where;
  std::ifstream("/proc/" + std::to_string(pid) + "/wchan") >> where;
  return where == "wait_for_partner";
}

} // namespace

bool emulated() { return !launcher().empty(); }

running_tool start_tool(const tool_invocation &invocation) {
  // Everything the child needs is built before the fork. qemu-user's -0
  // hands the program its argv[0], the empty one included.
  std::string program = invocation.program;
  std::vector<std::string> args = invocation.argv;
  if (emulated()) {
    std::vector<std::string> words = launcher();
    words.insert(words.end(), {"-0", args.empty() ? "" : args[0], program});
    words.insert(words.end(), args.begin() + (args.empty() ? 0 : 1), args.end());
    program = words[0];
    args = words;
  }
  std::vector<std::string> env = child_environment(invocation.posixly_correct);
  std::vector<char *> arg_pointers = pointers_to(args);
  std::vector<char *> env_pointers = pointers_to(env);

  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) {
    return {};
  }
  const pid_t pid = fork();
  if (pid == 0) {
    // A shell that starts the suite in the background may have left an
    // interrupt ignored; the tool must meet it as a terminal sends it.
    signal(SIGINT, SIG_DFL);
    if (invocation.stdin_closed) {
      close(STDIN_FILENO);
    }
    if (invocation.data_limit != 0) {
      const rlimit limit{invocation.data_limit, invocation.data_limit};
      setrlimit(RLIMIT_DATA, &limit);
    }
    // Leaving uid 0 drops every capability, CAP_SYS_RESOURCE included.
    if (invocation.unprivileged &&
        (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
         setresuid(65534, 65534, 65534) != 0)) {
      _exit(126);
    }
    dup2(out_pipe[1], STDOUT_FILENO);
    dup2(err_pipe[1], STDERR_FILENO);
    execvpe(program.c_str(), arg_pointers.data(), env_pointers.data()); // the launcher from PATH
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  return {pid, out_pipe[0], err_pipe[0]};
}

bool waits_in_fifo_open(const running_tool &tool) {
  for (int tries = 0; tries < 1500; ++tries) {
    if (waits_for_partner(tool.pid)) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

tool_result finish_tool(running_tool &tool, bool must_not_open_fifo) {
  tool_result result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  pollfd fds[2] = {{tool.out_fd, POLLIN, 0}, {tool.err_fd, POLLIN, 0}};
  std::string *sinks[2] = {&result.out, &result.err};
  int open_streams = 2;
  while (open_streams > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      kill(tool.pid, SIGKILL);
      break;
    }
    // In short slices when a wait in an open is to be caught.
    const int left_ms = static_cast<int>(left.count());
    if (poll(fds, 2, must_not_open_fifo ? std::min(20, left_ms) : left_ms) < 0 && errno != EINTR) {
      break;
    }
    if (must_not_open_fifo && waits_for_partner(tool.pid)) {
      result.opened_fifo = true;
      kill(tool.pid, SIGKILL);
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) {
        continue;
      }
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_streams;
      }
    }
  }
  for (auto &fd : fds) {
    if (fd.fd >= 0) {
      close(fd.fd);
    }
  }
  int status = 0;
  waitpid(tool.pid, &status, 0);
  if (WIFEXITED(status)) {
    result.exit_status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status) && !result.timed_out && !result.opened_fifo) {
    result.term_signal = WTERMSIG(status);
  }
  return result;
}

tool_result run_tool(const tool_invocation &invocation) {
  running_tool tool = start_tool(invocation);
  return finish_tool(tool, invocation.must_not_open_fifo);
}
