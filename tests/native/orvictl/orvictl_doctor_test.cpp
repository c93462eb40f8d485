// orvictl doctor against orvi-sim playing each fault of a line: the verdict, its evidence and its exit code.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "orvictl_fixture.h"

namespace {

struct FaultRow {
    const char* fault;
    std::vector<std::string> simArguments;  // how orvi-sim starts
    std::vector<std::string> control;       // then what it is told
    const char* cause;
    int exitCode;
};

TEST_F(Orvictl, DoctorNamesEachFaultTheSimulatorPlays) {
    const FaultRow rows[] = {
        {"a healthy line", {}, {}, "saudavel", 0},
        {"nobody on the line", {}, {"remove 1"}, "sem_linha", 1},
        {"a transmitter at another rate", {}, {"remove 1", "add 1 19200"}, "taxa_errada", 1},
        {"two transmitters at one address", {}, {"twin 1"}, "endereco_duplicado", 1},
        {"a reply later than the allowance", {}, {"delay 1 400"}, "resposta_lenta", 1},
        {"the request heard back ahead of the reply", {}, {"fault 1 echo"}, "eco_do_adaptador", 1},
        {"A and B swapped", {}, {"line swapped on"}, "fios_invertidos", 1},
        {"the adapter's echo", {}, {"line echo whole"}, "eco_do_adaptador", 1},
        {"RTS dropped early", {}, {"line rtsearly 3"}, "rts_cedo", 1},
        {"RTS enabled late", {}, {"rtslate 1 2"}, "rts_tarde", 1},
        {"no bias", {}, {"line bias off"}, "sem_polarizacao", 1},
        {"another master", {}, {"line master 50"}, "outro_mestre", 1},
        {"noise", {}, {"line noise 0.002"}, "ruido", 1},
        {"another parity", {}, {"parity 1 even"}, "paridade_diferente", 1},
        {"a USB latency timer", {}, {"line latency 16"}, "latencia_usb", 1},
    };
    std::vector<std::string> notPlayed;
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.fault);
        Start(row.simArguments);
        bool played = true;
        for (const std::string& line : row.control)
            played = played && sim_->Control().Command(line).rfind("OK", 0) == 0;
        if (!played) {
            notPlayed.push_back(row.fault);
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        const CtlRun run = Run({"--port", sim_->Link(), "doctor", "--json"});
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 10.0);
        EXPECT_EQ(row.exitCode, run.code) << run.out << run.err;
        const nlohmann::json verdict = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_TRUE(verdict.is_object()) << run.out;
        EXPECT_EQ(row.cause, verdict.value("causa", "")) << run.out;
        EXPECT_FALSE(verdict["evidencia"].empty());
        EXPECT_FALSE(verdict.value("conselho", "").empty());
        if (std::string(row.cause) == "taxa_errada") {
            EXPECT_EQ(19200, verdict.value("taxa", 0)) << run.out;
        }
    }
    // The line faults come with the simulator's line commands; until it has them they are not played.
    if (!notPlayed.empty()) {
        std::string names;
        for (const std::string& name : notPlayed) names += " [" + name + "]";
        std::printf("not played by this orvi-sim:%s\n", names.c_str());
    }
}

TEST_F(Orvictl, DoctorSaysItsVerdictInWordsWithTheEvidenceAndTheAdvice) {
    Start();
    ASSERT_EQ("OK", sim_->Control().Command("remove 1"));
    ASSERT_EQ("OK", sim_->Control().Command("add 1 19200"));
    const CtlRun run = Run({"--port", sim_->Link(), "doctor", "--address", "1"});
    EXPECT_EQ(1, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Provável causa: taxa de comunicação errada (o transmissor responde a "
                                              "19200 bit/s)"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("O que se viu:")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("O que fazer:")) << run.out;
    EXPECT_EQ(2, Run({"--port", sim_->Link(), "doctor", "--address", "300"}).code);
}

}  // namespace
