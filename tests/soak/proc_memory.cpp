#include "proc_memory.h"

#include <fstream>
#include <sstream>
#include <string>

long resident_kib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) != 0) continue;
    std::istringstream fields(line.substr(6));
    long kib = -1;
    fields >> kib;
    return kib;
  }
  return -1;
}
