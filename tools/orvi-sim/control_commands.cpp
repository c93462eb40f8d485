// Parsing and execution of control-channel commands against the simulated line.
#include "control_commands.h"

#include <sstream>
#include <vector>

#include "baud_codes.h"
#include "number_words.h"

namespace orvisim {

namespace {

bool ParseWord(const std::string& text, std::uint16_t* word) {
    long value = 0;
    if (!ParseNumber(text, &value) || value < -32768 || value > 65535) return false;
    *word = static_cast<std::uint16_t>(value);
    return true;
}

std::vector<std::string> Split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

}  // namespace

const char* ControlCommandSummary() {
    return "  get A R          holding register R of transmitter A  -> OK value (signed)\n"
           "  set A R V        store V (decimal or 0x hex); R = 1 holds the process value there\n"
           "  move A on|off    let the process value sweep, or stop it where it is\n"
           "  getp A N         private value N (4 status, 21-24 calibration) -> OK value\n"
           "  setp A N V       store private value N\n"
           "  fault A MODE [COUNT]  misbehave for COUNT replies (default: until 'fault A none'); MODE is\n"
           "                   silent, badcrc, wrongaddr, exception, echo, stray, short, late,\n"
           "                   mismatch, badecho or none\n"
           "  log              -> OK F1 F2 ... requests heard since start or clearlog, as hex\n"
           "  clearlog         empty the request log\n"
           "  garbled          -> OK N  requests heard at a speed their transmitter does not use\n"
           "  devices          -> OK A:BAUD ...  the transmitters on the line\n"
           "  add A B          another transmitter at address A, B bit/s\n"
           "  remove A         take transmitter A off the line\n"
           "  twin A           a second transmitter at A's address and speed: their replies collide\n"
           "  delay A MS       transmitter A starts its answers MS ms late (0 to 5000)\n"
           "  ident A SERIAL [FIRMWARE]  transmitter A's serial number (registers 23, 24) and firmware\n"
           "  rtslate A N|off  transmitter A's converter enables its driver late: its replies lose N bytes\n"
           "  parity A even|odd|none [1|2]  transmitter A frames its replies so (parity, stop bits); the\n"
           "                   master's 8N1 UART reads a 0 after the data bits as a framing error, 0x00\n"
           "  line swapped on|off   A and B swapped: one 0x00 after each request, and no replies\n"
           "  line echo whole|off   the adapter echoes each request whole ahead of any reply\n"
           "  line rtsearly N|off   the converter drops its driver after N bytes (0 to 7): only they are\n"
           "                   echoed, and the transmitters hear a cut request\n"
           "  line bias off|on      no bias on the line: a 0x00 ahead of every reply\n"
           "  line master MS|off    another master reads address 99 every MS ms while the line is quiet\n"
           "  line noise P [SEED]|off  random bit errors both ways, P per bit at 9600 bit/s and in\n"
           "                   proportion to the rate -> OK SEED (give it again to repeat the run)\n"
           "  line latency MS|off   the adapter passes on what it receives every MS ms (1 to 255)\n"
           "  reset            the command line's transmitters with factory contents; no faults (the line's\n"
           "                   included), empty log\n"
           "  speed            -> OK B  the host's current line speed (0 if unknown)\n";
}

ControlCommands::ControlCommands(Bus& bus, std::function<int()> lineSpeed, std::function<std::uint64_t()> clock)
    : bus_(bus), lineSpeed_(std::move(lineSpeed)), clock_(std::move(clock)) {}

std::string ControlCommands::Execute(const std::string& line) {
    const std::vector<std::string> words = Split(line);
    if (words.empty()) return "ERR empty command";
    const std::string& command = words[0];
    static const char* const kLineCommands[] = {"log", "clearlog", "garbled", "speed", "reset", "devices", "help"};
    for (const char* name : kLineCommands) {
        if (command == name) return words.size() == 1 ? LineCommand(command) : "ERR " + command + " takes no arguments";
    }
    if (command == "line") return LineFaultCommand(words);
    static const char* const kDeviceCommands[] = {"get",    "set",  "move",  "getp",  "setp",    "fault", "add",
                                                  "remove", "twin", "delay", "ident", "rtslate", "parity"};
    for (const char* name : kDeviceCommands) {
        if (command != name) continue;
        long address = 0;
        if (words.size() < 2) return "ERR missing arguments";
        if (!ParseNumber(words[1], &address) || address < 0 || address > 255) return "ERR bad address";
        if (command == "add" || command == "remove") return MembershipCommand(words, static_cast<int>(address));
        if (command == "twin") return TwinCommand(words, static_cast<int>(address));
        Transmitter* t = bus_.Find(static_cast<int>(address));
        if (t == nullptr) return "ERR no transmitter " + words[1];
        return TransmitterCommand(*t, words);
    }
    return "ERR unknown command";
}

std::string ControlCommands::LineCommand(const std::string& command) {
    if (command == "log") {
        std::string reply = "OK";
        for (const std::string& frame : bus_.Log()) reply += " " + frame;
        return reply;
    }
    if (command == "clearlog") {
        bus_.ClearLog();
        return "OK";
    }
    if (command == "garbled") return Ok(bus_.Garbled());
    if (command == "speed") return Ok(lineSpeed_());
    if (command == "reset") {
        bus_.Reset(clock_());
        return "OK";
    }
    if (command == "devices") {
        std::string reply = "OK";
        for (const DeviceSpec& d : bus_.Devices())
            reply += " " + std::to_string(d.address) + ":" + std::to_string(d.baud);
        return reply;
    }
    return "OK get set move getp setp fault log clearlog garbled devices add remove twin delay ident rtslate parity "
           "line reset speed";
}

std::string ControlCommands::MembershipCommand(const std::vector<std::string>& words, int address) {
    if (words[0] == "remove") {
        if (words.size() != 2) return "ERR usage: remove A";
        return bus_.Remove(address) ? "OK" : "ERR no transmitter " + words[1];
    }
    long baud = 0;
    if (words.size() != 3 || !ParseNumber(words[2], &baud) || CodeFromBaud(static_cast<int>(baud)) < 0)
        return "ERR usage: add A B (B = 1200, 2400, 4800, 9600 or 19200)";
    if (address < 1 || address > 247) return "ERR bad address";
    return bus_.Add(address, static_cast<int>(baud), clock_()) ? "OK" : "ERR address in use";
}

std::string ControlCommands::TwinCommand(const std::vector<std::string>& words, int address) {
    if (words.size() != 2) return "ERR usage: twin A";
    return bus_.AddTwin(address, clock_()) ? "OK" : "ERR no transmitter " + words[1];
}

std::string ControlCommands::DelayCommand(Transmitter& t, const std::vector<std::string>& words) {
    long ms = 0;
    if (words.size() != 3 || !ParseNumber(words[2], &ms) || ms < 0 || ms > 5000)
        return "ERR usage: delay A MS (0 to 5000)";
    t.SetAnswerDelayMs(static_cast<int>(ms));
    return "OK";
}

std::string ControlCommands::IdentCommand(Transmitter& t, const std::vector<std::string>& words) {
    long serial = 0;
    long firmware = 0;
    const char* usage = "ERR usage: ident A SERIAL [FIRMWARE]";
    if (words.size() < 3 || words.size() > 4 || !ParseNumber(words[2], &serial)) return usage;
    if (words.size() == 4 && (!ParseNumber(words[3], &firmware) || firmware < 0 || firmware > 32767)) return usage;
    if (!SetSerialNumber(t, serial)) return "ERR serial number out of range";
    if (words.size() == 4) t.SetRegister(kRegFirmware, static_cast<std::uint16_t>(firmware));
    return "OK";
}

std::string ControlCommands::TransmitterCommand(Transmitter& t, const std::vector<std::string>& words) {
    const std::string& command = words[0];
    const std::size_t argc = words.size() - 1;
    if (command == "get" || command == "set") {
        const bool get = command == "get";
        long reg = 0;
        if (argc != (get ? 2u : 3u)) return get ? "ERR usage: get A R" : "ERR usage: set A R V";
        if (!ParseNumber(words[2], &reg) || reg < 0 || reg >= kRegisterCount) return "ERR register out of range";
        if (get) {
            t.Refresh(clock_());
            return Ok(static_cast<std::int16_t>(t.Register(static_cast<int>(reg))));
        }
        std::uint16_t value = 0;
        if (!ParseWord(words[3], &value)) return "ERR bad value";
        // The address and baud code decide who answers on the line: keep them valid and unique.
        if (reg == kRegAddress && (value < 1 || value > 247)) return "ERR address must be 1 to 247";
        if (reg == kRegAddress && value != t.Address() && bus_.Find(value) != nullptr) return "ERR address in use";
        if (reg == kRegBaudCode && value > 4) return "ERR baud code must be 0 to 4";
        t.SetRegister(static_cast<int>(reg), value);
        t.Refresh(clock_());
        return "OK";
    }
    if (command == "delay") return DelayCommand(t, words);
    if (command == "ident") return IdentCommand(t, words);
    if (command == "rtslate") return RtsLateCommand(t, words);
    if (command == "parity") return ParityCommand(t, words);
    if (command == "move") {
        if (argc != 2 || (words[2] != "on" && words[2] != "off")) return "ERR usage: move A on|off";
        t.SetMoving(words[2] == "on");
        return "OK";
    }
    if (command == "getp" || command == "setp") {
        const bool get = command == "getp";
        long number = 0;
        if (argc != (get ? 2u : 3u)) return get ? "ERR usage: getp A N" : "ERR usage: setp A N V";
        if (!ParseNumber(words[2], &number) || !t.HasPrivate(static_cast<int>(number)))
            return "ERR no private value " + words[2];
        if (get) return Ok(static_cast<std::int16_t>(t.Private(static_cast<int>(number))));
        std::uint16_t value = 0;
        if (!ParseWord(words[3], &value)) return "ERR bad value";
        t.SetPrivate(static_cast<int>(number), value);
        return "OK";
    }
    FaultMode mode = FaultMode::None;
    if (argc < 2 || argc > 3 || !ParseFaultMode(words[2], &mode)) return "ERR usage: fault A MODE [COUNT]";
    long count = -1;
    if (argc == 3 && (!ParseNumber(words[3], &count) || count < 1)) return "ERR bad count";
    t.ArmFault(mode, static_cast<int>(count));
    return "OK";
}

}  // namespace orvisim
