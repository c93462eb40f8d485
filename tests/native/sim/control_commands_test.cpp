// The control channel's commands and the simulator's command line.
#include <gtest/gtest.h>

#include "config_snapshot.h"
#include "control_commands.h"
#include "sim_options.h"
#include "sim_test_frames.h"

using namespace orvisim;

namespace {

class SimControl : public ::testing::Test {
protected:
    std::string Run(const std::string& line) { return commands.Execute(line); }
    Bus bus{{{1, 9600}, {2, 4800}}, 0};
    int speed = 9600;
    ControlCommands commands{bus, [this] { return speed; }, [] { return std::uint64_t{0}; }};
};

bool Parse(std::vector<const char*> args, SimOptions* options, std::string* error) {
    args.insert(args.begin(), "orvi-sim");
    return ParseSimOptions(static_cast<int>(args.size()), args.data(), options, error);
}

}  // namespace

TEST_F(SimControl, RegistersAndPrivateValues) {
    EXPECT_EQ("OK 111", Run("get 1 7"));
    EXPECT_EQ("OK", Run("set 1 29 -5"));
    EXPECT_EQ("OK -5", Run("get 1 29"));
    EXPECT_EQ("OK", Run("set 1 29 0xFFFE"));
    EXPECT_EQ("OK -2", Run("get 1 29"));
    EXPECT_EQ("OK", Run("set 2 1 432"));
    EXPECT_EQ("OK 432", Run("get 2 1"));
    EXPECT_EQ("OK 1", Run("get 2 6")) << "held above the set point of a maximum alarm";
    EXPECT_EQ("OK 1800", Run("getp 2 22"));
    EXPECT_EQ("OK", Run("setp 2 4 0x0005"));
    EXPECT_EQ("OK 5", Run("getp 2 4"));

    EXPECT_EQ("ERR register out of range", Run("get 1 68"));
    EXPECT_EQ("ERR bad value", Run("set 1 29 70000"));
    EXPECT_EQ("ERR bad value", Run("set 1 29 12abc"));
    EXPECT_EQ("ERR no private value 5", Run("getp 1 5"));
    EXPECT_EQ("ERR no transmitter 3", Run("get 3 1"));
    EXPECT_EQ("ERR baud code must be 0 to 4", Run("set 1 45 5"));
    EXPECT_EQ("ERR address in use", Run("set 1 44 2"));
}

// Each transmitter placed has its own serial number, read back by the configurator's own decoding;
// ident sets another (any digits the two words can carry) and the firmware version.
TEST_F(SimControl, IdentitiesAreDistinctAndSettable) {
    const auto serial = [this](int address) {
        const Transmitter* t = bus.Find(address);
        return SerialNumberFromWords(static_cast<int16_t>(t->Register(kRegSerialHigh)),
                                     static_cast<int16_t>(t->Register(kRegSerialLow)));
    };
    EXPECT_EQ(12345u, serial(1));
    EXPECT_EQ("OK 12", Run("get 1 23"));
    EXPECT_EQ("OK 345", Run("get 1 24"));
    EXPECT_EQ(12346u, serial(2));
    EXPECT_EQ("OK", Run("add 9 1200"));
    EXPECT_EQ(12347u, serial(9));

    for (const long wanted : {12045L, 12000L, 7L, 123456789L, 32767999L}) {
        ASSERT_EQ("OK", Run("ident 1 " + std::to_string(wanted)));
        EXPECT_EQ(static_cast<uint32_t>(wanted), serial(1)) << wanted;
    }
    EXPECT_EQ("OK", Run("ident 2 00054321 205"));
    EXPECT_EQ(54321u, serial(2));
    EXPECT_EQ("OK 205", Run("get 2 7"));
    EXPECT_EQ("ERR serial number out of range", Run("ident 2 -4"));
    EXPECT_EQ("ERR usage: ident A SERIAL [FIRMWARE]", Run("ident 2 5 x"));
    EXPECT_EQ("OK", Run("reset"));
    EXPECT_EQ(12346u, serial(2)) << "a reset numbers the line's transmitters from the start again";
}

TEST_F(SimControl, SettingAddressOrBaudMovesTheTransmitterAtOnce) {
    EXPECT_EQ("OK", Run("set 2 44 12"));
    EXPECT_EQ("OK", Run("set 12 45 4"));
    EXPECT_EQ("OK 1:9600 12:19200", Run("devices"));
}

TEST_F(SimControl, FaultsLogDevicesAndReset) {
    EXPECT_EQ("OK", Run("fault 1 silent 2"));
    EXPECT_EQ(FaultMode::Silent, bus.Find(1)->Fault().mode);
    EXPECT_EQ(2, bus.Find(1)->Fault().remaining);
    EXPECT_EQ("OK", Run("fault 1 late"));
    EXPECT_EQ(-1, bus.Find(1)->Fault().remaining);
    EXPECT_EQ("ERR usage: fault A MODE [COUNT]", Run("fault 1 loud"));
    EXPECT_EQ("ERR bad count", Run("fault 1 late 0"));

    const RequestFrame a = simtest::Request(1, 3, 0, 10);
    const RequestFrame b = simtest::Request(0, 3, 8, 1);
    bus.HandleFrame(a.data(), 9600, 0);
    bus.HandleFrame(b.data(), 9600, 0);
    EXPECT_EQ("OK 01030000000AC5CD 0003000800010419", Run("log"));
    EXPECT_EQ("OK", Run("clearlog"));
    EXPECT_EQ("OK", Run("log"));

    EXPECT_EQ("OK", Run("add 7 1200"));
    EXPECT_EQ("ERR address in use", Run("add 7 2400"));
    EXPECT_NE(std::string::npos, Run("add 8 300").find("ERR"));
    EXPECT_EQ("OK", Run("remove 2"));
    EXPECT_EQ("OK 1:9600 7:1200", Run("devices"));
    EXPECT_EQ("OK", Run("reset"));
    EXPECT_EQ("OK 1:9600 2:4800", Run("devices"));
    EXPECT_FALSE(bus.Find(1)->Fault().Active());

    speed = 2400;
    EXPECT_EQ("OK 2400", Run("speed"));
    EXPECT_EQ("ERR unknown command", Run("frobnicate 1"));
    EXPECT_EQ("ERR empty command", Run("   "));
}

TEST(SimOptions, CommandLine) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--link", "/tmp/x", "--address", "4", "--baud", "2400", "--device", "9:19200", "--control-file",
                       "/tmp/port", "--quiet"},
                      &options, &error))
        << error;
    EXPECT_EQ("/tmp/x", options.link);
    ASSERT_EQ(2u, options.devices.size());
    EXPECT_EQ(4, options.devices[0].address);
    EXPECT_EQ(2400, options.devices[0].baud);
    EXPECT_EQ(9, options.devices[1].address);
    EXPECT_EQ(19200, options.devices[1].baud);
    EXPECT_EQ(0, options.controlPort) << "a control file needs a channel";
    EXPECT_TRUE(options.quiet);

    SimOptions plain;
    ASSERT_TRUE(Parse({"--link", "/tmp/x"}, &plain, &error));
    EXPECT_EQ(1, plain.devices[0].address);
    EXPECT_EQ(9600, plain.devices[0].baud);
    EXPECT_EQ(-1, plain.controlPort);

    for (std::vector<const char*> bad : {std::vector<const char*>{"--baud", "9600"},
                                         {"--link", "/x", "--baud", "38400"},
                                         {"--link", "/x", "--address", "0"},
                                         {"--link", "/x", "--device", "2-9600"},
                                         {"--link", "/x", "--device", "1:9600"},
                                         {"--link", "/x", "--control"},
                                         {"--link", "/x", "--colour", "red"}}) {
        SimOptions rejected;
        EXPECT_FALSE(Parse(bad, &rejected, &error)) << bad.back();
    }
    SimOptions help;
    ASSERT_TRUE(Parse({"--help"}, &help, &error));
    EXPECT_TRUE(help.help);
    EXPECT_NE(std::string::npos, SimHelpText().find("HKLM\\Software\\Wine\\Ports"));
}
