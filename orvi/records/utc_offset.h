// The local time's offset from UTC, from the broken-down local time of a moment and the moment itself:
// strftime's %z is not the offset everywhere (older Windows C libraries give the zone's name or nothing).
#pragma once
#include <ctime>

long UtcOffsetSeconds(const std::tm& local, std::time_t seconds);
