// Times a general Modbus master (libmodbus, natively) doing the benchmark's link work on orvi-sim's line.
#include <modbus.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link_work.h"

namespace {

class LibmodbusMaster : public BenchMaster {
public:
    explicit LibmodbusMaster(std::string path) : path_(std::move(path)) {}
    ~LibmodbusMaster() override { Close(); }

    bool UseRate(int32_t baud) override {
        Close();
        context_ = modbus_new_rtu(path_.c_str(), baud, 'N', 8, 1);
        if (context_ == nullptr) return Failed("modbus_new_rtu");
        // Generous: the 68-register reply alone takes 1.2 s at 1200 bit/s; the master ends on its length.
        if (modbus_set_slave(context_, 1) != 0 || modbus_set_response_timeout(context_, 3, 0) != 0 ||
            modbus_set_byte_timeout(context_, 1, 0) != 0)
            return Failed("modbus settings");
        if (modbus_connect(context_) != 0) return Failed("modbus_connect");
        return true;
    }
    bool ReadBlock() override {
        uint16_t block[68];
        return modbus_read_registers(context_, 0, 68, block) == 68 || Failed("block read");
    }
    bool WriteAndReadBack(int reg, int16_t value) override {
        uint16_t back = 0;
        if (modbus_write_register(context_, reg, static_cast<uint16_t>(value)) != 1) return Failed("write");
        if (modbus_read_registers(context_, reg, 1, &back) != 1) return Failed("read-back");
        return back == static_cast<uint16_t>(value) || Failed("read-back differs");
    }
    bool ReadOne(int reg) override {
        uint16_t word = 0;
        return modbus_read_registers(context_, reg, 1, &word) == 1 || Failed("read");
    }
    void Close() override {
        if (context_ == nullptr) return;
        modbus_close(context_);
        modbus_free(context_);
        context_ = nullptr;
    }

private:
    bool Failed(const char* what) {
        std::fprintf(stderr, "libmodbus: %s: %s\n", what, modbus_strerror(errno));
        return false;
    }

    std::string path_;
    modbus_t* context_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvi_modbus_bench LINE [ROUNDS]   (ORVI_SIM_CONTROL: orvi-sim's control port)\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    SimClient sim(SimControlPortFromEnv());
    LibmodbusMaster master(argv[1]);
    return RunLinkWork("libmodbus", master, sim, rounds);
}
