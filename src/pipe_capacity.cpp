// SPDX-License-Identifier: MIT
#include "pipe_capacity.hpp"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int apply_fifo_size(const fifo_request &request) {
  // Blocking and read-only on purpose: like any FIFO reader, this waits
  // until some process opens the FIFO for writing. The capacity set below
  // lasts only while some process holds the FIFO open.
  const int fd = open(request.path, O_RDONLY);
  if (fd < 0) {
    std::perror("open fifo failed!");
    return 1;
  }

  // Both commands return the capacity in bytes, and the kernel rounds counts
  // from 1025 up to 2^31, which glibc's int-returning fcntl hands back as
  // INT_MIN with errno untouched. So only -1 is a failure, and any other
  // result is an unsigned 32-bit capacity.
  if (fcntl(fd, F_SETPIPE_SZ, request.size_bytes) == -1) {
    std::perror("set fifo size failed!");
  }

  if (request.verbose > 0) {
    const int result = fcntl(fd, F_GETPIPE_SZ);
    // long long: a long has 32 bits on some targets, too few for 2^31.
    long long capacity = -1;
    if (result == -1) {
      std::perror("get fifo size  failed!");
    } else {
      capacity = static_cast<std::uint32_t>(result);
    }
    std::printf("'%s' fifo size: %lld\n", request.path, capacity);
  }

  close(fd);
  return 0;
}
