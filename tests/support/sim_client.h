// Client of orvi-sim's control channel for tests and the end-to-end driver (Linux and Windows).
#pragma once

#include <string>
#include <vector>

// Talks to the simulator on 127.0.0.1:port. Commands that the simulator refuses ("ERR ...") or that get
// no reply throw std::runtime_error with the command and the reply, so a test never reads a made-up value.
class SimClient {
public:
    explicit SimClient(int port);
    ~SimClient();
    SimClient(const SimClient&) = delete;
    SimClient& operator=(const SimClient&) = delete;

    bool Connected() const;
    // Sends one command line and returns the reply line without its newline ("" if the channel failed).
    std::string Command(const std::string& line);

    int Get(int addr, int reg);
    void Set(int addr, int reg, int value);
    int GetPrivate(int addr, int n);
    void SetPrivate(int addr, int n, int value);
    // mode: silent, badcrc, wrongaddr, exception, echo, stray, short, late, mismatch, badecho or none;
    // count < 0: until cleared.
    void Fault(int addr, const std::string& mode, int count = -1);
    void Reset();
    // The requests heard since start or the last ClearLog, as uppercase hex frames.
    std::vector<std::string> Log();
    void ClearLog();
    // Any command, e.g. a fault of the line ("line swapped on"): the text after "OK" of its reply; throws
    // on anything else.
    std::string Expect(const std::string& line);

private:
    long long socket_;
    std::string pending_;  // bytes received beyond the last reply line
};

// The control port named by an environment variable (decimal); 0 when unset or not a port number.
int SimControlPortFromEnv(const char* var = "ORVI_SIM_CONTROL");
