// Times an inventory of a whole line: orvictl scan over addresses 1-247, beside a shell-style loop of
// mbpoll (a general Modbus master, one run per address, 0.1 s time-out) on the same orvi-sim line.
// Usage: orvi_scan_bench ORVICTL PTY [MBPOLL]   Prints "figure scan WHO WORK SECONDS FOUND" lines.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
const int kRates[] = {19200, 9600, 4800, 2400, 1200};

// Runs a program with its output thrown away (or kept in outPath); its exit status, -1 when it did not run.
int RunProgram(std::vector<std::string> args, const char* outPath = "/dev/null") {
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = open("/dev/null", O_WRONLY);
        dup2(out, 1);
        dup2(null, 2);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Rows of orvictl's CSV output, the heading left out.
int CsvRows(const char* path) {
    FILE* file = std::fopen(path, "r");
    if (!file) return 0;
    int lines = 0;
    for (int c; (c = std::fgetc(file)) != EOF;) lines += c == '\n';
    std::fclose(file);
    return lines > 0 ? lines - 1 : 0;
}

void OrvictlScan(const std::string& orvictl, const std::string& pty, const std::string& work,
                 const std::string& rates) {
    const std::string out = "/tmp/orvi-scan-bench.csv";
    const auto start = std::chrono::steady_clock::now();
    RunProgram({orvictl, "--port", pty, "scan", "--addresses", "1-247", "--rates", rates, "--csv"}, out.c_str());
    std::printf("figure scan orvictl %s %.1f %d\n", work.c_str(), Seconds(start), CsvRows(out.c_str()));
    std::fflush(stdout);
    std::remove(out.c_str());
}

// One mbpoll run per address, as a shell loop would do it: read register 8 once, 0.1 s time-out.
void MbpollLoop(const std::string& mbpoll, const std::string& pty, const std::string& work,
                const std::vector<int>& rates) {
    int found = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int rate : rates)
        for (int address = 1; address <= 247; ++address)
            found += RunProgram({mbpoll,
                                 "-m",
                                 "rtu",
                                 "-a",
                                 std::to_string(address),
                                 "-b",
                                 std::to_string(rate),
                                 "-d",
                                 "8",
                                 "-s",
                                 "1",
                                 "-P",
                                 "none",
                                 "-t",
                                 "4",
                                 "-0",
                                 "-r",
                                 "8",
                                 "-c",
                                 "1",
                                 "-1",
                                 "-o",
                                 "0.1",
                                 pty}) == 0;
    std::printf("figure scan mbpoll %s %.1f %d\n", work.c_str(), Seconds(start), found);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ORVICTL PTY [MBPOLL]\n", argv[0]);
        return 2;
    }
    const std::string orvictl = argv[1], pty = argv[2], mbpoll = argc > 3 ? argv[3] : "";
    OrvictlScan(orvictl, pty, "19200", "19200");
    OrvictlScan(orvictl, pty, "9600", "9600");
    OrvictlScan(orvictl, pty, "all", "19200,9600,4800,2400,1200");
    if (mbpoll.empty()) return 0;
    MbpollLoop(mbpoll, pty, "19200", {19200});
    MbpollLoop(mbpoll, pty, "9600", {9600});
    MbpollLoop(mbpoll, pty, "all", std::vector<int>(kRates, kRates + 5));
    return 0;
}
