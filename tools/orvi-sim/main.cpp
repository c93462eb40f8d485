// orvi-sim: entry point; options, the pty, the control channel, and a clean exit on SIGTERM/SIGINT.
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <unistd.h>

#include "control_commands.h"
#include "control_server.h"
#include "pty_link.h"
#include "sim_clock.h"
#include "sim_loop.h"
#include "sim_options.h"

namespace {

int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    const ssize_t written = write(g_stopPipe[1], &byte, 1);
    (void)written;
}

// Temp file and rename, so a script waiting for the file never reads half a number.
bool WriteControlFile(const std::string& path, int port) {
    const std::string temp = path + ".tmp." + std::to_string(getpid());
    {
        std::ofstream out(temp);
        out << port << "\n";
        if (!out.flush()) return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace orvisim;
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, &options, &error)) {
        std::cerr << "orvi-sim: " << error << "\n(orvi-sim --help explains the options)\n";
        return 2;
    }
    if (options.help) {
        std::cout << SimHelpText();
        return 0;
    }

    if (pipe(g_stopPipe) != 0) return 1;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    PtyLink link;
    if (!link.Open(options.link, options.devices.front().baud, &error)) {
        std::cerr << "orvi-sim: " << error << "\n";
        return 1;
    }
    Bus bus(options.devices, NowMs());
    ControlCommands commands(
        bus, [&link] { return link.LineSpeed(); }, NowMs);

    ControlServer control;
    const bool withControl = options.controlPort >= 0;
    if (withControl) {
        if (!control.Listen(options.controlPort, &error)) {
            std::cerr << "orvi-sim: " << error << "\n";
            return 1;
        }
        if (!options.controlFile.empty() && !WriteControlFile(options.controlFile, control.Port())) {
            std::cerr << "orvi-sim: cannot write " << options.controlFile << "\n";
            return 1;
        }
    }
    if (!options.quiet) {
        std::cout << "orvi-sim: link " << options.link << ", control "
                  << (withControl ? std::to_string(control.Port()) : std::string("none")) << std::endl;
    }

    RunSimLoop(link, bus, withControl ? &control : nullptr, commands, g_stopPipe[0]);
    link.Close();
    return 0;
}
