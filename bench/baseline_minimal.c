/* SPDX-License-Identifier: MIT */
/* The floor for fifocap's start-up cost: the system calls of
 * `fifocap -v FIFO 1` and nothing else, with no argument checks.
 * Usage: baseline_minimal -v FIFO 1 (the same words as fifocap's run). */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

int main(int argc, char *argv[]) {
  if (argc != 4) {
    return 1;
  }
  int fd = open(argv[2], O_RDONLY);
  if (fd < 0) {
    return 1;
  }
  fcntl(fd, F_SETPIPE_SZ, 1 << 20);
  int capacity = fcntl(fd, F_GETPIPE_SZ);
  char line[64];
  int length = snprintf(line, sizeof line, "fifo size: %d\n", capacity);
  if (length > 0 && (size_t)length < sizeof line) {
    if (write(STDOUT_FILENO, line, (size_t)length) < 0) {
      return 1;
    }
  }
  close(fd);
  return 0;
}
