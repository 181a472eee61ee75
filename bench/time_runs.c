/* SPDX-License-Identifier: MIT */
/* Times whole runs of several commands, alternating them so that drift in
 * the machine's load falls on all alike, and prints each one's median.
 * Usage: time_runs RUNS COMMAND [ARG...] [::: COMMAND [ARG...]]...
 * Prints one line per command: the median wall time in nanoseconds. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

enum { max_commands = 8 };

static long long now_ns(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static int by_value(const void *a, const void *b) {
  long long x = *(const long long *)a, y = *(const long long *)b;
  return (x > y) - (x < y);
}

int main(int argc, char *argv[]) {
  if (argc < 3) {
    fprintf(stderr, "usage: time_runs RUNS COMMAND [ARG...] [::: COMMAND [ARG...]]...\n");
    return 2;
  }
  int runs = atoi(argv[1]);
  if (runs < 1 || runs > 100000) {
    fprintf(stderr, "time_runs: RUNS must be 1 to 100000\n");
    return 2;
  }
  char **commands[max_commands];
  int count = 0;
  commands[count++] = &argv[2];
  for (int i = 2; i < argc; ++i) {
    if (strcmp(argv[i], ":::") == 0) {
      argv[i] = NULL; /* ends the previous command's vector */
      if (count == max_commands || i + 1 == argc) {
        fprintf(stderr, "time_runs: at most %d non-empty commands\n", max_commands);
        return 2;
      }
      commands[count++] = &argv[i + 1];
    }
  }

  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

  long long *times = calloc((size_t)runs * count, sizeof *times);
  if (times == NULL) {
    return 1;
  }
  /* Run -1 is a warm-up: it brings each binary into the page cache. */
  for (int run = -1; run < runs; ++run) {
    for (int c = 0; c < count; ++c) {
      long long start = now_ns();
      pid_t pid;
      int status;
      if (posix_spawn(&pid, commands[c][0], &quiet, NULL, commands[c], environ) != 0 ||
          waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "time_runs: %s did not run cleanly\n", commands[c][0]);
        return 1;
      }
      if (run >= 0) {
        times[(size_t)c * runs + run] = now_ns() - start;
      }
    }
  }
  for (int c = 0; c < count; ++c) {
    long long *mine = &times[(size_t)c * runs];
    qsort(mine, (size_t)runs, sizeof *mine, by_value);
    printf("%lld\n", runs % 2 ? mine[runs / 2] : (mine[runs / 2 - 1] + mine[runs / 2]) / 2);
  }
  free(times);
  return 0;
}
