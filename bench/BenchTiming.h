#pragma once
#include <functional>
#include <vector>

namespace velmora::bench {

// Milliseconds of one call of `work`, by the performance counter.
double millisecondsOf(const std::function<void()>& work);
double median(std::vector<double> values);

}  // namespace velmora::bench
