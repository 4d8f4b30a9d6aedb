// A process's resident memory, as the kernel reports it.
#pragma once
#include <sys/types.h>

// VmRSS from /proc/PID/status in KiB, or -1 when it cannot be read.
long resident_kib(pid_t pid);
