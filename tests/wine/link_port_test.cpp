// The real Win32 serial port and transactions against orvi-sim on a pseudo-terminal mapped to COM1.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "comm_settings.h"
#include "link_platform.h"
#include "rtu_frame.h"
#include "serial_device_win32.h"
#include "serial_port.h"
#include "sim_client.h"
#include "transactions.h"

namespace {

// Counts the requests that reach the port and times RTS against them, passing everything through.
class CountingDevice : public SerialDevice {
public:
    explicit CountingDevice(SerialDevice& inner) : inner_(inner) {}
    int writes = 0;
    uint64_t lastWriteUs = 0;
    std::vector<uint64_t> rtsHeldUs;  // from each write's start to the RTS drop after it
    bool Open(const char* n) override { return inner_.Open(n); }
    bool Configure(const char* m, int32_t b) override { return inner_.Configure(m, b); }
    bool TogglesRts() const override { return inner_.TogglesRts(); }
    void SelectEvents(bool on) override { inner_.SelectEvents(on); }
    void SetQueues(uint32_t i, uint32_t o) override { inner_.SetQueues(i, o); }
    void SetRts(bool h) override {
        inner_.SetRts(h);
        if (!h && lastWriteUs) rtsHeldUs.push_back(LinkClockUs() - lastWriteUs);
        lastWriteUs = 0;
    }
    void ReassertDtr() override { inner_.ReassertDtr(); }
    void Purge(bool r, bool t) override { inner_.Purge(r, t); }
    bool SetReadTimeouts(const ReadTimeouts& t) override { return inner_.SetReadTimeouts(t); }
    bool SetWriteTimeouts(const WriteTimeouts& t) override { return inner_.SetWriteTimeouts(t); }
    bool Write(const uint8_t* b, size_t c) override {
        ++writes;
        lastWriteUs = LinkClockUs();
        return inner_.Write(b, c);
    }
    bool WaitTransmitEmpty(uint32_t ms) override { return inner_.WaitTransmitEmpty(ms); }
    size_t Read(uint8_t* b, size_t m) override { return inner_.Read(b, m); }
    void Close() override { inner_.Close(); }
    bool IsOpen() const override { return inner_.IsOpen(); }

private:
    SerialDevice& inner_;
};

class LinkPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.reset(new SimClient(SimControlPortFromEnv()));
        ASSERT_TRUE(sim_->Connected()) << "orvi-sim control channel not reachable (ORVI_SIM_CONTROL)";
        sim_->Reset();
        std::strcpy(commSettings.portName, "COM1");
        commSettings.baudRate = 9600;
        commSettings.deviceAddress = 1;
        ASSERT_EQ(1, OpenPort());
    }
    void TearDown() override {
        ClosePort();
        UseSerialDevice(nullptr);
    }
    std::unique_ptr<SimClient> sim_;
};

TEST_F(LinkPortTest, OpensAtEachRateAndTheLineFollows) {
    for (int32_t baud : {1200, 2400, 4800, 9600, 19200}) {
        commSettings.baudRate = baud;
        ClosePort();
        ASSERT_EQ(1, OpenPort()) << baud;
        EXPECT_EQ("OK " + std::to_string(baud), sim_->Command("speed")) << baud;
    }
    commSettings.baudRate = 38400;  // unsupported: the line runs at 19200
    ClosePort();
    ASSERT_EQ(1, OpenPort());
    EXPECT_EQ("OK 19200", sim_->Command("speed"));
}

// Windows refuses equal XON and XOFF characters even with XON/XOFF off; Wine lets them pass.
TEST_F(LinkPortTest, AppliedLineSettingsAreOnesWindowsAccepts) {
    for (int32_t baud : {1200, 19200}) {
        commSettings.baudRate = baud;
        ClosePort();
        ASSERT_EQ(1, OpenPort());
        DCB dcb;
        ASSERT_TRUE(LastAppliedLineSettings(&dcb));
        EXPECT_EQ(sizeof(DCB), dcb.DCBlength);
        EXPECT_NE(dcb.XonChar, dcb.XoffChar);
        EXPECT_TRUE(dcb.fBinary);
        EXPECT_EQ(static_cast<DWORD>(baud), dcb.BaudRate);
        EXPECT_EQ(8, dcb.ByteSize);
        EXPECT_EQ(NOPARITY, dcb.Parity);
        EXPECT_EQ(ONESTOPBIT, dcb.StopBits);
        EXPECT_FALSE(dcb.fOutX || dcb.fInX || dcb.fOutxCtsFlow || dcb.fOutxDsrFlow);
        // Wine refuses the toggle mode; where a driver takes it the link still drives RTS itself.
        EXPECT_EQ(RTS_CONTROL_DISABLE, dcb.fRtsControl);
        EXPECT_FALSE(SystemSerialDevice().TogglesRts());
    }
}

// The pseudo-terminal takes the request at once; RTS must still stay up for its line time.
TEST_F(LinkPortTest, RtsHeldForTheLineTimeOfEachRequestAt1200) {
    sim_->Set(1, 45, 0);  // the transmitter at 1200 bit/s
    CountingDevice counting(SystemSerialDevice());
    UseSerialDevice(&counting);
    commSettings.baudRate = 1200;
    ClosePort();
    ASSERT_EQ(1, OpenPort());
    ASSERT_FALSE(counting.TogglesRts());
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
    EXPECT_EQ(kLinkOk, WriteRegister(31, -150));
    ASSERT_EQ(3u, counting.rtsHeldUs.size());
    for (uint64_t held : counting.rtsHeldUs) EXPECT_GE(held, LineTimeUs(8, 1200));
    ClosePort();
    UseSerialDevice(nullptr);
}

TEST_F(LinkPortTest, ReadConfigBlockReturnsTheSimulatorsRegisters) {
    sim_->Set(1, 1, 321);  // hold the process value still
    sim_->Set(1, 60, -7);
    uint16_t block[kConfigBlockWords];
    ASSERT_EQ(kLinkOk, ReadConfigBlock(block));
    for (int r = 0; r < kConfigBlockWords; ++r)
        EXPECT_EQ(sim_->Get(1, r), static_cast<int16_t>(block[r])) << "register " << r;
    const std::vector<std::string> log = sim_->Log();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("01030000004445F9", log[0]);
}

TEST_F(LinkPortTest, WriteRegisterChangesTheRegisterAndReadsItBack) {
    ASSERT_EQ(kLinkOk, WriteRegister(31, -150));
    EXPECT_EQ(-150, sim_->Get(1, 31));
    const std::vector<std::string> log = sim_->Log();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("0106001FFF6A", log[0].substr(0, 12));
    EXPECT_EQ("0103001F0001", log[1].substr(0, 12));
}

TEST_F(LinkPortTest, WriteRegisterReportsAReadBackThatDiffers) {
    sim_->Fault(1, "mismatch");
    EXPECT_EQ(kLinkValueMismatch, WriteRegister(27, 400));
    EXPECT_EQ(6u, sim_->Log().size());  // three writes, each with one read-back
}

TEST_F(LinkPortTest, PrivateValuesReadAndWrite) {
    uint16_t value = 0;
    ASSERT_EQ(kLinkOk, ReadPrivate(21, &value));
    EXPECT_EQ(sim_->GetPrivate(1, 21), static_cast<int16_t>(value));
    ASSERT_EQ(kLinkOk, WritePrivate(23, -300));
    EXPECT_EQ(-300, sim_->GetPrivate(1, 23));
    sim_->SetPrivate(1, 4, 5);
    ASSERT_EQ(kLinkOk, ReadStatusBits(&value));
    EXPECT_EQ(5, value);
}

TEST_F(LinkPortTest, TransmitterAtAnotherRateTimesOutAfterThreeRequests) {
    CountingDevice counting(SystemSerialDevice());
    UseSerialDevice(&counting);
    commSettings.baudRate = 4800;
    ClosePort();
    ASSERT_EQ(1, OpenPort());
    uint16_t word = 0xAAAA;
    EXPECT_EQ(kLinkTimeout, ReadHolding(8, &word));
    EXPECT_EQ(3, counting.writes);
    EXPECT_EQ(0xAAAA, word);
    EXPECT_TRUE(sim_->Log().empty());
    EXPECT_EQ("OK 3", sim_->Command("garbled"));
    ClosePort();
    UseSerialDevice(nullptr);
}

TEST_F(LinkPortTest, FaultsOnTheLineGiveTheirCodes) {
    uint16_t word = 0;
    sim_->Fault(1, "echo");
    EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
    EXPECT_EQ(1, word);
    sim_->Fault(1, "stray");
    EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
    sim_->Fault(1, "none");
    sim_->Fault(1, "badcrc", 1);
    EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
    EXPECT_EQ(2u, sim_->Log().size() - 2);  // the CRC error cost one more request
    // A 5-byte exception reply is shorter than a one-register reply: it reads as silence.
    sim_->Fault(1, "exception");
    EXPECT_EQ(kLinkTimeout, ReadHolding(8, &word));
    sim_->Fault(1, "none");
    sim_->Fault(1, "wrongaddr");
    EXPECT_EQ(kLinkWrongAddress, ReadHolding(8, &word));
    commSettings.deviceAddress = 0;
    EXPECT_EQ(kLinkOk, SearchReadIdentity(&word));
    commSettings.deviceAddress = 1;
    sim_->Fault(1, "silent");
    EXPECT_EQ(kLinkTimeout, ReadHolding(8, &word));
}

LRESULT CALLBACK QuitOnMouseProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) PostQuitMessage(3);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The program is closed from a mouse message handled while a transaction waits: the wait's peek
// takes WM_QUIT whatever its filter, and the message loop must still see it afterwards.
TEST_F(LinkPortTest, QuitPostedDuringATransactionStillEndsTheMessageLoop) {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = QuitOnMouseProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "QuitOnMouseWindow";
    RegisterClassA(&cls);
    HWND window =
        CreateWindowA(cls.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_TRUE(window != nullptr);
    PostMessageA(window, WM_MOUSEMOVE, 0, 0);
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
    MSG message;
    bool quit = false;
    while (!quit && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        quit = message.message == WM_QUIT;
        if (!quit) DispatchMessageA(&message);
    }
    DestroyWindow(window);
    ASSERT_TRUE(quit);
    EXPECT_EQ(3u, message.wParam);
}

// Closes the fallback notice as a user would, keeping its text.
class NoticeCloser {
public:
    NoticeCloser() : thread_([this] { Run(); }) {}
    ~NoticeCloser() { Join(); }
    void Join() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::string text;

private:
    static BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
        char name[16] = "", buffer[128] = "";
        GetClassNameA(child, name, sizeof name);
        GetWindowTextA(child, buffer, sizeof buffer);
        if (lstrcmpiA(name, "Static") == 0 && buffer[0]) *reinterpret_cast<std::string*>(param) += buffer;
        return TRUE;
    }
    void Run() {
        for (int i = 0; i < 1000 && !stop_; ++i) {
            HWND box = FindWindowA("#32770", "Porta Serial");
            if (box) {
                std::string seen;
                EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen));
                text = seen;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    }
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(LinkPortTest, UnopenablePortFallsBackToCom1AndStoresIt) {
    ClosePort();
    std::strcpy(commSettings.portName, "COM3");  // mapped to a path that does not exist
    NoticeCloser closer;
    const int opened = OpenPort();
    closer.Join();
    ASSERT_EQ(1, opened) << commSettings.portName << " " << GetLastError();
    closer.Join();
    EXPECT_EQ("Porta configurada: COM1", closer.text);
    EXPECT_STREQ("COM1", commSettings.portName);
    EXPECT_EQ(1, SaveCommSettings());
    char file[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, file);
    lstrcatA(file, "\\Tavelo\\orvi.ini");
    char stored[16] = "";
    GetPrivateProfileStringA("Communication", "Port", "", stored, sizeof stored, file);
    EXPECT_STREQ("COM1", stored);
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
}

}  // namespace
