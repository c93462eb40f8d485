// Base of the tests that open Orvi.exe's sheet on transmitter 1 of orvi-sim (address 1, 9600 baud, COM1).
#pragma once
#include <gtest/gtest.h>

#include "driver_programs.h"
#include "driver_sheet.h"
#include "driver_wait.h"
#include "e2e_fixture.h"
#include "live_sheet.h"
#include "sim_client.h"

class SheetOnSimulator : public WithSimulator {
protected:
    void SetUp() override {
        WithSimulator::SetUp();
        ASSERT_TRUE(sim.Connected());
        WriteSettingsFile(kSimOnCom1);
    }

    // Opens the sheet on the transmitter as the test has prepared it.
    void Open() {
        ASSERT_TRUE(OpenSheetSession(&session))
            << "the sheet did not open on its Input/Output page: " << DescribeProcess(session.orvi)
            << "; the simulator heard " << sim.Log().size() << " frame(s)";
    }

    // Closing the sheet ends the sheet mode, with exit code 0.
    void ExpectSheetModeEnds() {
        ASSERT_TRUE(session.orvi.WaitExit(kWaitMs)) << "Orvi.exe still runs";
        EXPECT_EQ(session.orvi.ExitCode(), 0u);
    }

    SimClient sim{SimControlPortFromEnv()};
    SheetSession session;
};
