#include "pipe_capacity.hpp"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int apply_fifo_size(const fifo_request &request) {
  // Blocking and read-only on purpose: like any FIFO reader, this waits
  // until some process opens the FIFO for writing. The capacity set below
  // lasts only while some process holds the FIFO open.
  const int fd = open(request.path.c_str(), O_RDONLY);
  if (fd < 0) {
    std::perror("open fifo failed!");
    return 1;
  }

  // The kernel rounds the request up to a power-of-two number of pages and
  // returns what it granted; that figure is read back below only for -v.
  if (fcntl(fd, F_SETPIPE_SZ, request.size_bytes) < 0) {
    std::perror("set fifo size failed!");
  }

  if (request.verbose > 0) {
    const int capacity = fcntl(fd, F_GETPIPE_SZ);
    if (capacity == -1) {
      std::perror("get fifo size  failed!");
    }
    std::printf("'%s' fifo size: %ld\n", request.path.c_str(), static_cast<long>(capacity));
  }

  close(fd);
  return 0;
}
