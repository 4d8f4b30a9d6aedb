// The printed figures of one measured session.
#pragma once
#include <cstdint>
#include <vector>

#include "pacing_stats.h"

void print_report(const std::vector<logged_frame> &log, const std::vector<cpu_sample> &samples,
                  std::int64_t spawn_ns, const char *window);
