// A Communication page on its real template, on COM1 (orvi-sim), with its message boxes answered by script.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <deque>
#include <memory>
#include <string>
#include <vector>
#include "sheet/sheet_visit.h"
#include "sim_client.h"

struct SeenBox {
    std::string text;
    std::string caption;
    UINT type;
};

class CommunicationPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Host settings and the port opened at them, then the page created (standAlone: "&Fecha" use).
    void Open(uint8_t address, int32_t baud, bool standAlone = false);
    // Answers for the boxes to come, in order; a box beyond them is answered with IDCANCEL.
    void Answer(std::initializer_list<int> answers);
    void Click(int id);
    void Pump();

    void ChooseEntry(int listId, const std::string& text);
    void TypeAddress(const std::string& text);
    std::string Text(int id) const;
    std::string Selection(int listId) const;
    std::string Entry(int listId, int index) const;
    int Count(int listId) const;
    bool Checked(int id) const;
    bool Enabled(int id) const;
    bool Visible(int id) const;

    // Requests the simulator heard at the right speed (hex frames), and at a wrong one (a count).
    std::vector<std::string> Heard();
    int Garbled();
    // Requests of function 6 for a register, from the log.
    int WritesTo(int reg);

    static bool SettingsFileExists();
    static std::string StoredSetting(const char* key);

public:
    std::unique_ptr<SimClient> sim;
    std::unique_ptr<SheetVisit> visit;  // the sheet's visit, or the search dialog's
    std::vector<SeenBox> boxes;
    HWND host = NULL;
    HWND page = NULL;
};
