// The configuration a new transmitter leaves the factory with, for any input type: where a file
// prepared at the desk starts.
#pragma once
#include <cstdint>

#include "config_snapshot.h"

// The firmware whose factory configuration this is (1.11).
enum { kFactoryFirmwareVersion = 111 };

// The factory configuration of inputType (a catalogue code): °C, the scale over the sensor's whole
// range, 4 to 20 mA, no alarm function (set point at the upper limit, hysteresis 0, not blocked),
// offset 0; serial number 0 (none), the firmware above.
ConfigSnapshot FactoryConfiguration(int inputType);
