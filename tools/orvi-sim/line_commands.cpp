// The control commands that put faults on the wire: the line's own ("line ...") and a transmitter's
// converter and framing ("rtslate", "parity").
#include <cerrno>
#include <cstdlib>

#include "control_commands.h"
#include "number_words.h"

namespace orvisim {

namespace {

bool OnOff(const std::string& word, const char* on, const char* off, bool* value) {
    if (word != on && word != off) return false;
    *value = word == on;
    return true;
}

// A whole number in [low, high], or "off" as offValue.
bool NumberOrOff(const std::string& word, long low, long high, long offValue, long* value) {
    if (word == "off") {
        *value = offValue;
        return true;
    }
    return ParseNumber(word, value) && *value >= low && *value <= high;
}

bool ParseChance(const std::string& word, double* chance) {
    char* end = nullptr;
    errno = 0;
    *chance = std::strtod(word.c_str(), &end);
    return !word.empty() && errno == 0 && *end == '\0' && *chance >= 0 && *chance <= 1;
}

}  // namespace

std::string ControlCommands::LineFaultCommand(const std::vector<std::string>& words) {
    LineFaults& faults = bus_.Faults();
    const std::string what = words.size() >= 2 ? words[1] : "";
    const std::string arg = words.size() >= 3 ? words[2] : "";
    long number = 0;
    if (what == "noise") {
        double chance = 0;
        long seed = 0;
        if (words.size() == 3 && arg == "off") {
            faults.noise.Off();
            return "OK";
        }
        if (words.size() < 3 || words.size() > 4 || !ParseChance(arg, &chance) ||
            (words.size() == 4 && (!ParseNumber(words[3], &seed) || seed < 0 || seed > 0xFFFFFFFFL)))
            return "ERR usage: line noise P [SEED] (P per bit at 9600 bit/s, 0 to 1) | line noise off";
        // Without a seed one is picked and told, so that the run can be repeated.
        const std::uint32_t used =
            words.size() == 4 ? static_cast<std::uint32_t>(seed) : static_cast<std::uint32_t>(clock_() * 2654435761u);
        faults.noise.Set(chance, used);
        return Ok(static_cast<long>(used));
    }
    if (words.size() != 3) return "ERR usage: line swapped|echo|rtsearly|bias|master|noise|latency ...";
    if (what == "swapped") {
        return OnOff(arg, "on", "off", &faults.swapped) ? "OK" : "ERR usage: line swapped on|off";
    }
    if (what == "echo") {
        return OnOff(arg, "whole", "off", &faults.echo) ? "OK" : "ERR usage: line echo whole|off";
    }
    if (what == "bias") {
        bool on = true;
        if (!OnOff(arg, "on", "off", &on)) return "ERR usage: line bias off|on";
        faults.biasMissing = !on;
        return "OK";
    }
    if (what == "rtsearly") {
        // A request is 8 bytes: a driver that lasts for all of them is no fault.
        if (!NumberOrOff(arg, 0, 7, -1, &number)) return "ERR usage: line rtsearly N (0 to 7) | line rtsearly off";
        faults.rtsEarlyBytes = static_cast<int>(number);
        return "OK";
    }
    if (what == "master") {
        if (!NumberOrOff(arg, 1, 60000, 0, &number)) return "ERR usage: line master MS (1 to 60000) | line master off";
        faults.masterPeriodMs = static_cast<int>(number);
        faults.masterSinceMs = clock_();
        return "OK";
    }
    if (what == "latency") {
        if (!NumberOrOff(arg, 1, 255, 0, &number)) return "ERR usage: line latency MS (1 to 255) | line latency off";
        faults.latencyMs = static_cast<int>(number);
        faults.latencySinceMs = clock_();
        return "OK";
    }
    return "ERR usage: line swapped|echo|rtsearly|bias|master|noise|latency ...";
}

std::string ControlCommands::RtsLateCommand(Transmitter& t, const std::vector<std::string>& words) {
    long bytes = 0;
    if (words.size() != 3 || !NumberOrOff(words[2], 0, 255, 0, &bytes)) return "ERR usage: rtslate A N | rtslate A off";
    t.SetLateEnableBytes(static_cast<int>(bytes));
    return "OK";
}

std::string ControlCommands::ParityCommand(Transmitter& t, const std::vector<std::string>& words) {
    const char* usage = "ERR usage: parity A even|odd|none [1|2]";
    if (words.size() < 3 || words.size() > 4) return usage;
    ReplyFraming framing;
    if (words[2] == "even") {
        framing.parity = Parity::Even;
    } else if (words[2] == "odd") {
        framing.parity = Parity::Odd;
    } else if (words[2] != "none") {
        return usage;
    }
    if (words.size() == 4) {
        if (words[3] != "1" && words[3] != "2") return usage;
        framing.stopBits = words[3] == "1" ? 1 : 2;
    }
    t.SetFraming(framing);
    return "OK";
}

}  // namespace orvisim
