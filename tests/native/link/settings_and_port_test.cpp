// orvi.ini rules and opening the port: fallback scan, line settings, time-outs, close.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "comm_settings.h"
#include "line_settings.h"
#include "native_platform.h"
#include "port_names.h"
#include "serial_port.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetNativePlatform(); }
    void Put(const char* key, const char* value) { TestSettings().values[std::string("Communication/") + key] = value; }
    std::string Stored(const char* key) { return TestSettings().values[std::string("Communication/") + key]; }
};

TEST_F(SettingsTest, DefaultsWithoutFile) {
    EXPECT_EQ(1, LoadCommSettings());
    EXPECT_EQ(1, commSettings.deviceAddress);
    EXPECT_STREQ("COM1", commSettings.portName);
    EXPECT_EQ(9600, commSettings.baudRate);
}

TEST_F(SettingsTest, PortNamesKeptWholeAndLowByte) {
    Put("Address", "300");
    Put("Port", "COM12");
    Put("Baud", "4800");
    LoadCommSettings();
    EXPECT_EQ(44, commSettings.deviceAddress);
    EXPECT_STREQ("COM12", commSettings.portName);
    EXPECT_EQ(4800, commSettings.baudRate);
    SaveCommSettings();
    EXPECT_EQ("COM12", Stored("Port"));
    // Longer than any COMn: kept as written, so that it never becomes a shorter, openable name.
    Put("Port", "COM12345");
    LoadCommSettings();
    EXPECT_STREQ("COM12345", commSettings.portName);
    EXPECT_EQ(4800, commSettings.baudRate);
    Put("Address", "256");
    LoadCommSettings();
    EXPECT_EQ(0, commSettings.deviceAddress);
    Put("Address", "17xyz");
    LoadCommSettings();
    EXPECT_EQ(17, commSettings.deviceAddress);
}

TEST_F(SettingsTest, GarbageNegativeAndOverlongValuesNeverCrash) {
    Put("Address", "garbage");
    Put("Baud", "-9600");
    Put("Port", "");
    LoadCommSettings();
    EXPECT_EQ(1, commSettings.deviceAddress);  // no number: the default
    EXPECT_EQ(9600, commSettings.baudRate);
    EXPECT_STREQ("", commSettings.portName);
    Put("Address", "99999999999999999999");
    Put("Baud", "99999999999");
    LoadCommSettings();
    EXPECT_EQ(19200, LineBaud(commSettings.baudRate));
    Put("Port", std::string(1000, 'X').c_str());
    LoadCommSettings();
    EXPECT_STREQ("XXXXXXXXXXXXXXX", commSettings.portName);

    // Blanks ahead of the digits are skipped; a number past the signed range is no rate (0: the line
    // runs at 19200); within it the number is kept for the line rule to judge.
    const struct {
        const char* text;
        int32_t baud;
    } rates[] = {{" \t2400", 2400}, {"\t 4800 bit/s", 4800}, {"2147483647", 2147483647}, {"2147483648", 0},
                 {"4294967295", 0}, {"4294967296", 0},       {"4294971096", 3800},       {"0", 0},
                 {"9", 9}};
    for (const auto& row : rates) {
        Put("Baud", row.text);
        LoadCommSettings();
        EXPECT_EQ(row.baud, commSettings.baudRate) << row.text;
    }
    for (const char* text : {":9", "/9", "x9"}) {  // the characters either side of the digits are none
        Put("Address", text);
        LoadCommSettings();
        EXPECT_EQ(1, commSettings.deviceAddress) << text;
    }
}

TEST_F(SettingsTest, SaveWritesThreeKeysInOrder) {
    LoadCommSettings();
    commSettings.deviceAddress = 247;
    commSettings.baudRate = 38400;
    std::strcpy(commSettings.portName, "None");
    EXPECT_EQ(1, SaveCommSettings());
    EXPECT_EQ(std::vector<std::string>({"Address", "Port", "Baud"}), TestSettings().writeOrder);
    EXPECT_EQ("247", Stored("Address"));
    EXPECT_EQ("None", Stored("Port"));
    EXPECT_EQ("38400", Stored("Baud"));
}

TEST_F(SettingsTest, UnwritableFileReportsFailureAfterTryingEveryKey) {
    TestSettings().readOnly = true;
    EXPECT_EQ(0, SaveCommSettings());
    EXPECT_EQ(std::vector<std::string>({"Address", "Port", "Baud"}), TestSettings().writeOrder);

    // One key refused, wherever it comes, is a failed save; the others are still written.
    struct OneKeyRefused : MemorySettingsStore {
        std::string refused;
        bool Write(const char* section, const char* key, const char* value) override {
            if (refused != key) return MemorySettingsStore::Write(section, key, value);
            writeOrder.push_back(key);
            return false;
        }
    };
    for (const char* key : {"Address", "Port", "Baud"}) {
        OneKeyRefused store;
        store.refused = key;
        UseSettingsStore(&store);
        EXPECT_EQ(0, SaveCommSettings()) << key;
        EXPECT_EQ(std::vector<std::string>({"Address", "Port", "Baud"}), store.writeOrder) << key;
        EXPECT_EQ(2u, store.values.size()) << key;
        UseSettingsStore(nullptr);
    }
}

TEST(PortNames, OnlyComOneToTwoFiftyFiveCounts) {
    const struct {
        const char* name;
        int number;
    } rows[] = {{"COM1", 1}, {"com7", 7},         {"COM12", 12}, {"COM255", 255},      {"COM256", 0},
                {"COM0", 0}, {"COM07", 0},        {"COM", 0},    {"COM1x", 0},         {"None", 0},
                {"LPT1", 0}, {R"(PIPE\orvi)", 0}, {"", 0},       {"COM99999999999", 0}};
    for (const auto& row : rows) EXPECT_EQ(row.number, PortNumber(row.name)) << row.name;
}

TEST(PortNames, ListsTheFixedPortsThenThoseReportedInNumberOrder) {
    const std::vector<std::string> expected = {"None", "COM1", "COM2",  "COM3",  "COM4",
                                               "COM5", "COM7", "COM12", "COM100"};
    EXPECT_EQ(expected, PortListNames({"COM12", "COM100", "COM3", "COM4", "COM7", "COM5", "COM12", "LPT1", "COM0"}));
    EXPECT_EQ(std::vector<std::string>({"None", "COM1", "COM2", "COM3", "COM4"}), PortListNames({}));
}

TEST_F(SettingsTest, AddressWrittenBackAsLowByte) {
    Put("Address", "300");
    LoadCommSettings();
    SaveCommSettings();
    EXPECT_EQ("44", Stored("Address"));
}

class PortTest : public ::testing::Test {
protected:
    void SetUp() override { ResetNativePlatform(); }
    ScriptedSerialDevice& device() { return TestDevice(); }
};

TEST_F(PortTest, OpenAppliesSettingsInOrder) {
    commSettings.baudRate = 4800;
    ASSERT_EQ(1, OpenPort());
    const std::vector<std::string> expected = {"open COM1",     "configure 9600,n,8,1 4800",
                                               "events on",     "queues 65535 128",
                                               "rts 0",         "dtr 1",
                                               "purge rx tx",   "timeouts",
                                               "write timeouts"};
    EXPECT_EQ(expected, device().events);
    EXPECT_TRUE(PortNotices().empty());
}

TEST_F(PortTest, ReadTimeoutsByBaud) {
    const struct {
        int32_t baud;
        ReadTimeouts t;
    } rows[] = {{1200, {285, 10, 168}}, {2400, {165, 5, 144}}, {4800, {105, 3, 132}},
                {9600, {75, 2, 126}},   {19200, {60, 2, 123}}, {38400, {60, 2, 123}}};
    for (const auto& row : rows) {
        commSettings.baudRate = row.baud;
        ASSERT_EQ(1, OpenPort());
        EXPECT_EQ(row.t.intervalMs, device().timeouts.intervalMs) << row.baud;
        EXPECT_EQ(row.t.perByteMs, device().timeouts.perByteMs) << row.baud;
        EXPECT_EQ(row.t.constantMs, device().timeouts.constantMs) << row.baud;
    }
    EXPECT_EQ("configure 9600,n,8,1 19200", device().events[device().events.size() - 8]);
}

TEST_F(PortTest, FallbackScanShowsNoticeAndTakesName) {
    std::strcpy(commSettings.portName, "COM2");
    device().openable = {"COM1", "COM3"};
    ASSERT_EQ(1, OpenPort());
    EXPECT_STREQ("COM1", commSettings.portName);
    EXPECT_EQ(std::vector<std::string>({"Porta Serial: Porta configurada: COM1"}), PortNotices());
    EXPECT_EQ("configure 9600,n,8,1 9600", device().events[2]);
}

TEST_F(PortTest, ScanTriesConfiguredNameAgainInItsTurn) {
    std::strcpy(commSettings.portName, "COM2");
    device().openable = {"COM4"};
    ASSERT_EQ(1, OpenPort());
    const std::vector<std::string> opens(device().events.begin(), device().events.begin() + 5);
    EXPECT_EQ(std::vector<std::string>({"open COM2", "open COM1", "open COM2", "open COM3", "open COM4"}), opens);
    EXPECT_STREQ("COM4", commSettings.portName);
}

TEST_F(PortTest, ANameThatIsNoComPortIsNeverOpened) {
    std::strcpy(commSettings.portName, R"(PIPE\orvi)");
    device().openable = {R"(PIPE\orvi)", "COM2"};
    ASSERT_EQ(1, OpenPort());
    EXPECT_EQ("open COM1", device().events[0]);
    EXPECT_STREQ("COM2", commSettings.portName);
    std::strcpy(commSettings.portName, "COM12");
    device().openable = {"COM12"};
    device().events.clear();
    ASSERT_EQ(1, OpenPort());
    EXPECT_STREQ("COM12", commSettings.portName);
    EXPECT_EQ("open COM12", device().events[1]);  // after closing the port open before
    EXPECT_EQ("configure 9600,n,8,1 9600", device().events[2]);
}

TEST_F(PortTest, NoPortOrRejectedSettingsGiveNone) {
    device().openable.clear();
    EXPECT_EQ(0, OpenPort());
    EXPECT_STREQ("None", commSettings.portName);
    EXPECT_TRUE(PortNotices().empty());
    // "None" goes straight to the scan.
    device().openable = {"COM3"};
    EXPECT_EQ(1, OpenPort());
    EXPECT_STREQ("COM3", commSettings.portName);
    device().acceptSettings = false;
    EXPECT_EQ(0, OpenPort());
    EXPECT_STREQ("None", commSettings.portName);
    EXPECT_FALSE(device().IsOpen());
    // A port without its time-outs could block a read for ever.
    device().acceptSettings = true;
    device().acceptTimeouts = false;
    EXPECT_EQ(0, OpenPort());
    EXPECT_STREQ("None", commSettings.portName);
    EXPECT_FALSE(device().IsOpen());
}

TEST_F(PortTest, WriteTimeoutsCoverTwiceTheLineTime) {
    const struct {
        int32_t baud;
        uint32_t perByteMs;
    } rows[] = {{1200, 17}, {9600, 3}, {19200, 2}, {38400, 2}};
    for (const auto& row : rows) {
        commSettings.baudRate = row.baud;
        ASSERT_EQ(1, OpenPort());
        EXPECT_EQ(row.perByteMs, device().writeTimeouts.perByteMs) << row.baud;
        EXPECT_LT(0u, device().writeTimeouts.constantMs);
    }
}

// Windows refuses a block whose XON and XOFF characters are equal, whatever Wine allows, and
// documents binary mode as the only one; the rest is the line the transmitters speak.
TEST(LineSettingsTest, MeetTheRulesOfTheDeviceControlBlock) {
    LineSettings zeroed = {};
    LineSettings reported = {};  // a port left with flow control, parity and 7 bits by another program
    reported.baudRate = 115200;
    reported.parity = reported.outxCtsFlow = reported.outxDsrFlow = reported.dsrSensitivity = true;
    reported.outX = reported.inX = reported.errorCharOn = reported.nullStrip = reported.abortOnError = true;
    reported.dtrControl = 2;
    reported.rtsControl = 2;
    reported.byteSize = 7;
    reported.parityKind = 2;
    reported.stopBits = 2;
    reported.xonChar = reported.xoffChar = 0x11;
    reported.xonLim = reported.xoffLim = 60000;
    reported.errorChar = reported.evtChar = '?';
    reported.eofChar = 0x1A;
    for (const LineSettings& current : {zeroed, reported}) {
        for (bool toggle : {true, false}) {
            const LineSettings s = LinkLineSettings(current, 1200, toggle);
            EXPECT_NE(s.xonChar, s.xoffChar);
            EXPECT_EQ(0x11, s.xonChar);
            EXPECT_EQ(0x13, s.xoffChar);
            EXPECT_LE(s.xonLim + s.xoffLim, 128);  // within even the output queue's size
            EXPECT_TRUE(s.binary);
            EXPECT_EQ(1200u, s.baudRate);
            EXPECT_EQ(8, s.byteSize);
            EXPECT_EQ(kNoParity, s.parityKind);
            EXPECT_EQ(kOneStopBit, s.stopBits);
            EXPECT_FALSE(s.parity || s.outxCtsFlow || s.outxDsrFlow || s.dsrSensitivity || s.outX || s.inX);
            EXPECT_FALSE(s.errorCharOn || s.nullStrip || s.abortOnError);
            EXPECT_EQ(0, s.errorChar);
            EXPECT_EQ(0, s.evtChar);
            EXPECT_EQ(kDtrControlEnable, s.dtrControl);
            EXPECT_EQ(toggle ? kRtsControlToggle : kRtsControlDisable, s.rtsControl);
        }
    }
    EXPECT_EQ(0x1A, LinkLineSettings(reported, 9600, true).eofChar);  // what the rules do not name stays
}

TEST_F(PortTest, CloseIsHarmlessTwiceAndDropsRts) {
    ClosePort();
    EXPECT_TRUE(device().events.empty());
    ASSERT_EQ(1, OpenPort());
    RaiseRts();
    EXPECT_TRUE(device().rts);
    device().events.clear();
    ClosePort();
    ClosePort();
    EXPECT_EQ(std::vector<std::string>({"rts 0", "dtr 1", "events off", "purge rx tx", "close"}), device().events);
}

}  // namespace
