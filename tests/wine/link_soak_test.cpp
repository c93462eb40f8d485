// Fault soak: thousands of transactions of every kind through the real Win32 port against orvi-sim,
// with faults armed at random; each result, duration and request on the line is checked.
// ORVI_SOAK_COUNT sets the number of transactions (default 250), ORVI_SOAK_SEED the seed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "comm_settings.h"
#include "line.h"
#include "rtu_frame.h"
#include "serial_port.h"
#include "sim_client.h"
#include "soak_fault_model.h"
#include "transactions.h"

namespace {

enum Kind { kHolding, kPrivate, kStatus, kConfig, kLive, kIdentity, kAddress, kWritePrivate, kWriteRegister, kKinds };
const char* const kKindNames[kKinds] = {"ReadHolding",       "ReadPrivate",   "ReadStatusBits",
                                        "ReadConfigBlock",   "ReadLiveBlock", "SearchReadIdentity",
                                        "SearchReadAddress", "WritePrivate",  "WriteRegister"};
// Faults and their weights; a late reply costs 2.5 s of draining, so it comes rarely.
const struct {
    const char* mode;
    int weight;
} kFaults[] = {{"none", 30}, {"silent", 8}, {"badcrc", 8},   {"wrongaddr", 8}, {"exception", 6}, {"echo", 8},
               {"stray", 8}, {"short", 6},  {"mismatch", 8}, {"badecho", 8},   {"late", 1}};
const int kStableRegisters[] = {7, 8, 23, 24, 44, 45};  // never written by the soak
const int kWrittenRegisters[] = {29, 31, 39, 60};
const uint16_t kUntouched = 0xA55A;
const int32_t kBaud = 19200;
// Beyond the computed bound: the bounded wait for transmit-empty (line time + 50 ms) per request,
// and Wine's scheduling once per transaction.
const long kMarginPerRequestMs = 60, kMarginPerTransactionMs = 250;

unsigned long EnvNumber(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

std::string Hex(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

// The request frame as the simulator logs it.
std::string Frame(uint8_t device, uint8_t function, uint16_t field, uint16_t last) {
    uint8_t bytes[8] = {device,
                        function,
                        static_cast<uint8_t>(field >> 8),
                        static_cast<uint8_t>(field),
                        static_cast<uint8_t>(last >> 8),
                        static_cast<uint8_t>(last)};
    const uint16_t crc = Crc16(bytes, 6);
    bytes[6] = static_cast<uint8_t>(crc);
    bytes[7] = static_cast<uint8_t>(crc >> 8);
    return Hex(bytes, 8);
}

// The longest one try may take: the request's line time, the turnaround, the read's total time-out.
long TryBoundMs(unsigned replyLength) {
    const ReadTimeouts t = ReadTimeoutsFor(kBaud);
    const long requestLineMs = (8 * 10 * 1000 + kBaud - 1) / kBaud;
    return requestLineMs + TurnaroundMs(kBaud) + t.perByteMs * (replyLength + 8) + t.constantMs + kMarginPerRequestMs;
}

// One planned transaction: what is called, what the line must carry and what must come back.
struct Plan {
    Kind kind;
    int address;    // register or private address
    int16_t value;  // for writes
    std::vector<std::string> frames;
    LinkError result;
    long boundMs;
};

class LinkSoakTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.reset(new SimClient(SimControlPortFromEnv()));
        ASSERT_TRUE(sim_->Connected()) << "orvi-sim control channel not reachable (ORVI_SIM_CONTROL)";
        sim_->Reset();
        sim_->Set(1, 45, 4);  // the transmitter runs at 19200 bit/s
        sim_->Command("move 1 off");
        for (int reg : kStableRegisters) stable_[reg] = static_cast<int16_t>(sim_->Get(1, reg));
        for (int n = 21; n <= 24; ++n) model_.privates[n] = static_cast<int16_t>(sim_->GetPrivate(1, n));
        sim_->ClearLog();
        std::strcpy(commSettings.portName, "COM1");
        commSettings.baudRate = kBaud;
        commSettings.deviceAddress = 1;
        ASSERT_EQ(1, OpenPort());
    }
    void TearDown() override {
        ClosePort();
        commSettings.deviceAddress = 1;
        if (sim_ && sim_->Connected()) sim_->Reset();  // factory rate and contents for the next test
    }

    // Up to three tries of one request, stopping at the first success, as the sim answers them.
    LinkError PlanRetries(Plan& plan, uint8_t device, uint8_t function, uint16_t field, uint16_t last,
                          unsigned replyLength, bool search) {
        LinkError result = kLinkTimeout;
        for (int attempt = 0; attempt < 3; ++attempt) {
            plan.frames.push_back(Frame(device, function, field, last));
            result = model_.Try(function, field, static_cast<int16_t>(last), replyLength, search);
            if (result == kLinkOk) break;
        }
        return result;
    }

    Plan MakePlan(Kind kind, std::mt19937& random) {
        Plan plan{kind, 0, 0, {}, kLinkOk, 0};
        switch (kind) {
        case kHolding:
            plan.address = kStableRegisters[random() % 6];
            plan.result = PlanRetries(plan, 1, 3, plan.address, 1, 7, false);
            plan.boundMs = 3 * TryBoundMs(7);
            break;
        case kPrivate:
            plan.address = 21 + static_cast<int>(random() % 4);
            plan.result = PlanRetries(plan, 1, 0x70, plan.address, 0, 6, false);
            plan.boundMs = 3 * TryBoundMs(6);
            break;
        case kStatus:
            plan.result = PlanRetries(plan, 1, 0x70, 4, 0, 6, false);
            plan.boundMs = 3 * TryBoundMs(6);
            break;
        case kConfig:
            plan.result = PlanRetries(plan, 1, 3, 0, 68, 141, false);
            plan.boundMs = 3 * TryBoundMs(141);
            break;
        case kLive:
            plan.result = PlanRetries(plan, 1, 3, 0, 10, 25, false);
            plan.boundMs = 3 * TryBoundMs(25);
            break;
        case kIdentity:
        case kAddress:
            plan.address = kind == kIdentity ? 8 : 44;
            plan.result = PlanRetries(plan, 0, 3, plan.address, 1, 7, true);
            plan.boundMs = 3 * TryBoundMs(7);
            break;
        case kWritePrivate:
            plan.address = 21 + static_cast<int>(random() % 4);
            plan.value = static_cast<int16_t>(random());
            plan.result = PlanRetries(plan, 1, 0x71, plan.address, static_cast<uint16_t>(plan.value), 8, false);
            plan.boundMs = 3 * TryBoundMs(8);
            break;
        default: PlanWriteRegister(plan, random); break;
        }
        plan.boundMs += kMarginPerTransactionMs;
        return plan;
    }

    // Up to three writes, each confirmed by a read-back of up to three tries.
    void PlanWriteRegister(Plan& plan, std::mt19937& random) {
        plan.address = kWrittenRegisters[random() % 4];
        plan.value = static_cast<int16_t>(random());
        plan.boundMs = 3 * TryBoundMs(8) + 9 * TryBoundMs(7);
        const uint16_t reg = static_cast<uint16_t>(plan.address);
        for (int attempt = 0; attempt < 3; ++attempt) {
            plan.frames.push_back(Frame(1, 6, reg, static_cast<uint16_t>(plan.value)));
            plan.result = model_.Try(6, plan.address, plan.value, 8, false);
            if (plan.result != kLinkOk) continue;
            plan.result = PlanRetries(plan, 1, 3, reg, 1, 7, false);
            if (plan.result != kLinkOk) continue;
            if (model_.readsDiffer.count(plan.address) == 0) return;
            plan.result = kLinkValueMismatch;
        }
    }

    // Runs the call; checks the words it leaves against what the device holds.
    LinkError Run(const Plan& plan) {
        uint16_t words[kConfigBlockWords];
        for (uint16_t& w : words) w = kUntouched;
        LinkError result = kLinkOk;
        switch (plan.kind) {
        case kHolding: result = ReadHolding(static_cast<int8_t>(plan.address), words); break;
        case kPrivate: result = ReadPrivate(static_cast<int8_t>(plan.address), words); break;
        case kStatus: result = ReadStatusBits(words); break;
        case kConfig: result = ReadConfigBlock(words); break;
        case kLive: result = ReadLiveBlock(words); break;
        case kIdentity:
        case kAddress:
            commSettings.deviceAddress = 0;
            result = plan.kind == kIdentity ? SearchReadIdentity(words) : SearchReadAddress(words);
            commSettings.deviceAddress = 1;
            break;
        case kWritePrivate: result = WritePrivate(static_cast<int8_t>(plan.address), plan.value); break;
        default: result = WriteRegister(static_cast<int8_t>(plan.address), plan.value); break;
        }
        CheckWords(plan, result, words);
        return result;
    }

    void CheckWords(const Plan& plan, LinkError result, const uint16_t* words) {
        if (result != kLinkOk) {
            for (int i = 0; i < kConfigBlockWords; ++i)
                ASSERT_EQ(kUntouched, words[i]) << "a failed read changed word " << i;
            return;
        }
        switch (plan.kind) {
        case kHolding:
        case kIdentity:
        case kAddress:
            EXPECT_EQ(stable_[plan.address], static_cast<int16_t>(words[0])) << "register " << plan.address;
            EXPECT_EQ(kUntouched, words[1]);
            break;
        case kPrivate: EXPECT_EQ(model_.privates[plan.address], static_cast<int16_t>(words[0])); break;
        case kConfig:
            for (int reg : kStableRegisters) EXPECT_EQ(stable_[reg], static_cast<int16_t>(words[reg])) << reg;
            break;
        case kLive:
            EXPECT_EQ(stable_[7], static_cast<int16_t>(words[7]));
            EXPECT_EQ(kUntouched, words[kLiveBlockWords]);
            break;
        default: break;
        }
    }

    // Collects the late replies from the line, so that the next transaction starts on a quiet line.
    void DrainLateReplies() {
        if (model_.lateBytes == 0) return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(4000);
        unsigned drained = 0;
        uint8_t buffer[300];
        while (drained < model_.lateBytes && std::chrono::steady_clock::now() < deadline)
            drained += static_cast<unsigned>(PortDevice().Read(buffer, sizeof buffer));
        EXPECT_EQ(model_.lateBytes, drained) << "late reply bytes";
        model_.lateBytes = 0;
    }

    std::unique_ptr<SimClient> sim_;
    SoakFaultModel model_;
    std::map<int, int16_t> stable_;
};

TEST_F(LinkSoakTest, EveryTransactionGivesThePredictedResultInTimeAndWritesOnlyWhatWasAsked) {
    const unsigned long count = EnvNumber("ORVI_SOAK_COUNT", 250);
    const unsigned long seed =
        EnvNumber("ORVI_SOAK_SEED",
                  static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count() & 0x7FFFFFFF));
    std::printf("[ soak     ] %lu transactions, seed %lu (ORVI_SOAK_SEED=%lu repeats it)\n", count, seed, seed);
    std::fflush(stdout);
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    int totalWeight = 0;
    for (const auto& f : kFaults) totalWeight += f.weight;
    long slowest = 0;
    unsigned long failures = 0;

    for (unsigned long n = 0; n < count && !HasFatalFailure(); ++n) {
        int pick = static_cast<int>(random() % static_cast<unsigned>(totalWeight));
        const char* mode = kFaults[0].mode;
        for (const auto& f : kFaults) {
            if (pick < f.weight) {
                mode = f.mode;
                break;
            }
            pick -= f.weight;
        }
        // A late reply is allowed once, so that it lands after its transaction has ended.
        const int counts[] = {1, 2, 3, -1};
        const int faultCount = std::strcmp(mode, "late") == 0 ? 1 : counts[random() % 4];
        const Kind kind = static_cast<Kind>(random() % kKinds);
        if (std::strcmp(mode, "none") != 0) sim_->Fault(1, mode, faultCount);
        model_.Arm(mode, faultCount);

        const Plan plan = MakePlan(kind, random);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", transaction " + std::to_string(n) + ": " + kKindNames[kind] +
                     " " + std::to_string(plan.address) + " " + std::to_string(plan.value) + " with fault " + mode +
                     " x" + std::to_string(faultCount));
        const auto start = std::chrono::steady_clock::now();
        const LinkError result = Run(plan);
        const long elapsed = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
        if (result != kLinkOk) ++failures;
        if (elapsed > slowest) slowest = elapsed;

        EXPECT_EQ(plan.result, result);
        EXPECT_LE(elapsed, plan.boundMs) << "took longer than its time-out bound";
        EXPECT_FALSE(ConfiguratorLine().acceptAnyAddress) << "the search flag was left set";
        sim_->Fault(1, "none");
        DrainLateReplies();
        // Exactly the requests the transaction may send, so no write the caller did not ask for.
        EXPECT_EQ(plan.frames, sim_->Log());
        sim_->ClearLog();
        if (plan.kind == kWriteRegister || plan.kind == kWritePrivate) {
            for (const auto& stored : model_.registers)
                ASSERT_EQ(stored.second, sim_->Get(1, stored.first)) << "register " << stored.first;
            for (const auto& stored : model_.privates)
                ASSERT_EQ(stored.second, sim_->GetPrivate(1, stored.first)) << "private " << stored.first;
        }
        if (HasFailure()) break;  // the first difference tells; the rest would follow from it
    }
    std::printf("[ soak     ] seed %lu: %lu failed as predicted, slowest transaction %ld ms\n", seed, failures,
                slowest);
}

}  // namespace
