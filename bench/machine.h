#pragma once
// What the benchmark reports say about the machine they ran on.

#include <QString>

namespace bench {

// The processor's model name from /proc/cpuinfo, or "unknown processor".
QString CpuModel();

} // namespace bench
