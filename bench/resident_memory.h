#pragma once
#include <fstream>
#include <string>

// Resident anonymous memory (heap, buffers, thread stacks) in MB: what the process itself
// holds, without the libraries' code mapped from disk.
inline double residentMb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "RssAnon:") {
      double kb = 0;
      status >> kb;
      return kb / 1024;
    }
  }
  return 0;
}
