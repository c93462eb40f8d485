// Base of the end-to-end tests: the line they expect (simulator on COM1, or no port at all), a clean orvi.ini
// and a fresh simulated transmitter.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver_programs.h"
#include "driver_settings.h"
#include "driver_wait.h"
#include "sim_client.h"

// ORVI_E2E_PORTS, set by tests/e2e/run: "sim" (COM1 is orvi-sim) or "none" (no COM port opens).
inline std::string PortsOfThisRun() {
    const char* ports = std::getenv("ORVI_E2E_PORTS");
    return ports ? ports : "";
}

// A configurator an earlier test started may still be ending; a new one would then only raise it and end.
inline bool NoConfiguratorRuns() {
    return WaitFor([] { return AnyOrviWindow() == nullptr; });
}

// Tests that need orvi-sim on COM1.
class WithSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(PortsOfThisRun(), "sim") << "run through tests/e2e/run, which maps COM1 to orvi-sim";
        ASSERT_TRUE(NoConfiguratorRuns()) << "an earlier test's Orvi.exe still runs";
        RemoveSettingsFile();
        // Every test meets the transmitter as the command line made it: factory contents, no faults.
        SimClient sim(SimControlPortFromEnv());
        ASSERT_TRUE(sim.Connected()) << "no orvi-sim control channel (ORVI_SIM_CONTROL)";
        sim.Reset();
    }
};

// Tests that need a machine where no COM port can be opened.
class WithoutPorts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(PortsOfThisRun(), "none") << "run through tests/e2e/run, which leaves every COM port unopenable";
        ASSERT_TRUE(NoConfiguratorRuns()) << "an earlier test's Orvi.exe still runs";
        RemoveSettingsFile();
    }
};

inline const char kSettingsCom1At4800[] = "[Communication]\r\nAddress=7\r\nPort=COM1\r\nBaud=4800\r\n";
