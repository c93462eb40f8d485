// The latency timer of the USB adapter behind a COM port, where its driver keeps one (FTDI's).
#pragma once
#include <cstddef>
#include <cstdint>

// In ms, -1 when the port's driver keeps none; how (room bytes) says where to lower it.
int32_t AdapterLatencyTimerMs(const char* portName, char* how, size_t room);
