// SPDX-License-Identifier: MIT
// Runs apply_fifo_size in-process against a link-time stand-in for fcntl,
// to show answers that this machine's kernel cannot give.
#include "pipe_capacity.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The answer to both pipe-capacity commands while armed; errno is left
// untouched, as glibc leaves it for any result but -1.
bool armed = false;
int pipe_capacity_answer = 0;

} // namespace

// Every other call goes to the kernel as the C library would make it.
extern "C" int fcntl(int fd, int cmd, ...) {
  va_list args;
  va_start(args, cmd);
  const long arg = va_arg(args, long);
  va_end(args);
  if (armed && (cmd == F_SETPIPE_SZ || cmd == F_GETPIPE_SZ)) {
    return pipe_capacity_answer;
  }
  return static_cast<int>(syscall(SYS_fcntl, fd, cmd, arg));
}

namespace {

// A 2 GiB grant (counts 1025 to 2047, where pages are 64 KiB and the
// caller privileged) comes back through int as INT_MIN: a success.
TEST(apply_fifo_size, a_grant_of_2_gib_is_a_success_and_reported_unsigned) {
  const fifo_request request{1, "/dev/null", 2047 << 20};
  errno = 0;
  armed = true;
  pipe_capacity_answer = INT_MIN;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = apply_fifo_size(request);
  armed = false;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "'/dev/null' fifo size: 2147483648\n");
  EXPECT_EQ(status, 0);
}

} // namespace
