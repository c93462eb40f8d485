// The simulator's monotonic millisecond clock.
#pragma once

#include <cstdint>

namespace orvisim {

std::uint64_t NowMs();

}  // namespace orvisim
