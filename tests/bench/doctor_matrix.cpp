// The doctor's fault matrix: orvi-sim plays each fault of a line at 1200, 9600 and 19200 bit/s, orvictl
// doctor --json names a cause; one line per run: "doctor FAULT RATE EXPECTED GOT SECONDS".
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim_process.h"

namespace {
struct Fault {
    const char* name;
    std::vector<std::string> control;  // after the transmitter is at the rate
    const char* cause;
};

const Fault kFaults[] = {
    {"healthy", {}, "saudavel"},
    {"no-line", {"remove 1"}, "sem_linha"},
    {"swapped", {"line swapped on"}, "fios_invertidos"},
    {"wrong-rate", {"remove 1", "add 1 OTHER"}, "taxa_errada"},
    {"parity", {"parity 1 even"}, "paridade_diferente"},
    {"echo", {"line echo whole"}, "eco_do_adaptador"},
    {"rts-early", {"line rtsearly 3"}, "rts_cedo"},
    {"rts-late", {"rtslate 1 2"}, "rts_tarde"},
    {"no-bias", {"line bias off"}, "sem_polarizacao"},
    {"twin", {"twin 1"}, "endereco_duplicado"},
    {"other-master", {"line master 50"}, "outro_mestre"},
    {"noise", {"line noise 0.002"}, "ruido"},
    {"slow", {"delay 1 400"}, "resposta_lenta"},
    {"usb-latency", {"line latency 16"}, "latencia_usb"},
};

// The "causa" of orvictl's JSON (one member a line).
std::string CauseOf(const std::string& json) {
    const std::string key = "\"causa\": \"";
    const size_t at = json.find(key);
    if (at == std::string::npos) return "none";
    const size_t end = json.find('"', at + key.size());
    return json.substr(at + key.size(), end - at - key.size());
}

std::string RunDoctor(const std::string& orvictl, const std::string& port, int rate, const std::string& out) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen(out.c_str(), "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
        const std::string baud = std::to_string(rate);
        execl(orvictl.c_str(), orvictl.c_str(), "--port", port.c_str(), "--baud", baud.c_str(), "doctor", "--json",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream file(out);
    std::stringstream text;
    text << file.rdbuf();
    return CauseOf(text.str());
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvi_doctor_matrix ORVICTL\n");
        return 2;
    }
    const std::string orvictl = argv[1];
    int right = 0, runs = 0;
    for (const int rate : {1200, 9600, 19200}) {
        for (const Fault& fault : kFaults) {
            RunningSim sim({});
            if (!sim.Started()) return 1;
            bool played = sim.Control().Command("remove 1") == "OK" &&
                          sim.Control().Command("add 1 " + std::to_string(rate)) == "OK";
            const std::string other = rate == 19200 ? "9600" : "19200";
            for (std::string line : fault.control) {
                const size_t at = line.find("OTHER");
                if (at != std::string::npos) line.replace(at, 5, other);
                played = played && sim.Control().Command(line).rfind("OK", 0) == 0;
            }
            if (!played) return 1;
            const auto start = std::chrono::steady_clock::now();
            const std::string got = RunDoctor(orvictl, sim.Link(), rate, sim.Dir() + "/doctor.json");
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ++runs;
            right += got == fault.cause;
            std::printf("doctor %s %d %s %s %.1f\n", fault.name, rate, fault.cause, got.c_str(), seconds);
            std::fflush(stdout);
        }
    }
    std::printf("doctor-total %d %d\n", right, runs);
    return 0;
}
