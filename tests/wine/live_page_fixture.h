// A live page on its real template, in this process, talking to orvi-sim through the real COM1.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <string>
#include <cstdlib>
#include <vector>
#include "comm_settings.h"
#include "config_snapshot.h"
#include "serial_port.h"
#include "sheet/sheet_visit.h"
#include "shell/shell_sheet_host.h"
#include "sim_client.h"
#include "transactions.h"

class LivePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(sim.Connected()) << "ORVI_SIM_CONTROL names no simulator";
        sim.Reset();
        std::strcpy(commSettings.portName, "COM1");
        commSettings.baudRate = 9600;
        commSettings.deviceAddress = 1;
        ASSERT_EQ(1, OpenPort());
    }

    void TearDown() override {
        if (page != NULL) DestroyWindow(page);
        if (host != NULL) DestroyWindow(host);
        ClosePort();
    }

    // What the Communication page's "&Ler" does: a fresh block decoded into the snapshot.
    void ReadConfiguration() {
        uint16_t block[kConfigBlockWords];
        ASSERT_EQ(kLinkOk, ReadConfigBlock(block));
        visit.DecodeConfigBlock(block);
    }

    void CreatePage(int templateId, DLGPROC procedure) {
        // The page template is a child window; a plain window stands in for the sheet.
        host = CreateWindowA("STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL, GetModuleHandleA(NULL),
                             NULL);
        ASSERT_NE(host, (HWND)NULL);
        page = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(templateId), host, procedure, 0);
        ASSERT_NE(page, (HWND)NULL);
    }

    void Notify(UINT code) {
        NMHDR header = {GetParent(page), 0, code};
        SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }

    // One tick now, without waiting for the timer.
    void Tick() { SendMessageA(page, WM_TIMER, 1, 0); }

    std::string Text(int id) {
        char text[256] = {};
        GetDlgItemTextA(page, id, text, sizeof text);
        return text;
    }

    int CountFrames(const std::string& prefix) {
        int count = 0;
        for (const std::string& frame : sim.Log())
            if (frame.compare(0, prefix.size(), prefix) == 0) ++count;
        return count;
    }

    SimClient sim{SimControlPortFromEnv()};
    SheetVisit visit{ProgramSheetHost(), NULL, nullptr};  // the sheet's visit the page runs in
    HWND host = NULL;
    HWND page = NULL;
};
