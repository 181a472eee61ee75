#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs COMMAND as on an x86-64 kernel whose IA-32 emulation is off (booted
with ia32_emulation=0): a seccomp filter, which every child inherits, kills
any process at its first 32-bit system call, so no i386 program runs, while
64-bit programs, qemu-i386-static among them, run as ever.

Usage: scripts/without_ia32.py COMMAND [ARG...]
"""
import ctypes
import os
import struct
import sys

PR_SET_NO_NEW_PRIVS = 38
PR_SET_SECCOMP = 22
SECCOMP_MODE_FILTER = 2
SECCOMP_RET_ALLOW = 0x7FFF0000
SECCOMP_RET_KILL_PROCESS = 0x80000000
AUDIT_ARCH_X86_64 = 0xC000003E
BPF_LD_W_ABS = 0x20  # BPF_LD | BPF_W | BPF_ABS
BPF_JEQ_K = 0x15  # BPF_JMP | BPF_JEQ | BPF_K
BPF_RET_K = 0x06  # BPF_RET | BPF_K


def instruction(code, jump_true, jump_false, k):
    return struct.pack("HBBI", code, jump_true, jump_false, k)


def main():
    if len(sys.argv) < 2 or os.uname().machine != "x86_64":
        sys.exit(__doc__ if len(sys.argv) < 2 else "this works on x86-64 kernels only")
    # seccomp_data.arch, at offset 4: x86-64 goes on, anything else dies.
    program = b"".join([
        instruction(BPF_LD_W_ABS, 0, 0, 4),
        instruction(BPF_JEQ_K, 0, 1, AUDIT_ARCH_X86_64),
        instruction(BPF_RET_K, 0, 0, SECCOMP_RET_ALLOW),
        instruction(BPF_RET_K, 0, 0, SECCOMP_RET_KILL_PROCESS),
    ])
    buffer = ctypes.create_string_buffer(program)
    fprog = struct.pack("HxxxxxxQ", len(program) // 8, ctypes.addressof(buffer))
    libc = ctypes.CDLL(None, use_errno=True)
    prctl = libc.prctl
    prctl.argtypes = [ctypes.c_int, ctypes.c_ulong, ctypes.c_char_p, ctypes.c_ulong, ctypes.c_ulong]
    if libc.prctl(PR_SET_NO_NEW_PRIVS, 1, None, 0, 0) != 0 or \
            prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, fprog, 0, 0) != 0:
        sys.exit("seccomp: " + os.strerror(ctypes.get_errno()))
    os.execvp(sys.argv[1], sys.argv[1:])


if __name__ == "__main__":
    main()
