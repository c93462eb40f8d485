// The checks the Input/Output page makes on the snapshot before it writes anything.
#pragma once
#include <cstddef>
#include "config_snapshot.h"

enum { kIoMessageSize = 256 };  // the longest message with the longest link error text inserted

// 0 when limits and set point are consistent; otherwise the number (1..5) of the first check that
// fails, with its message in message. Equality always passes.
int FindConsistencyFault(const ConfigSnapshot& snapshot, char* message, size_t size);
