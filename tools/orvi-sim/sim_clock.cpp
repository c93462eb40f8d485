// Monotonic milliseconds from the steady clock.
#include "sim_clock.h"

#include <chrono>

namespace orvisim {

std::uint64_t NowMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace orvisim
