// The run mode that the configurator's command-line tail selects.
#pragma once

enum class RunMode { None, Sheet, Search, Service };

// "CN", "BA" and "QK", compared whole and case-sensitively; anything else (empty included) is None.
RunMode SelectRunMode(const char* commandTail);
