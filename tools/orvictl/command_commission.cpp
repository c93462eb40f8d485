// commission --from A --to B: each new transmitter at the factory address moved to the next free
// address of a range, optionally configured from a file, one line each, and a summary CSV at the end.
#include <cerrno>
#include <cstdio>

#include "commands.h"
#include "config_change.h"
#include "config_ini.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "file_text.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "monitor_csv.h"
#include "network_change.h"
#include "platform.h"
#include "register_map.h"
#include "text_output.h"
#include "transactions.h"

namespace {
enum { kFactoryAddress = 1, kIdentityRegister = 8, kWaitPauseMs = 300 };

struct CommissionArguments {
    int from = 0;
    int to = 0;
    std::string configPath;
    std::string csvPath;
};

struct Commissioned {
    int address;
    std::string serial;
    std::string result;
};

int ParseCommissionArguments(const Arguments& arguments, CommissionArguments* parsed) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option != "--from" && option != "--to" && option != "--config" && option != "--csv")
            return UsageError("commission", UnexpectedArgumentText(option));
        if (i + 1 >= arguments.size()) return UsageError("commission", option + " precisa de um valor");
        const std::string& value = arguments[++i];
        if (option == "--config")
            parsed->configPath = value;
        else if (option == "--csv")
            parsed->csvPath = value;
        else if (!ParseDeviceAddress(value, option == "--from" ? &parsed->from : &parsed->to))
            return UsageError("commission", option + " espera um endereço de 1 a 247");
    }
    if (!parsed->from || !parsed->to) return UsageError("commission", "dê a faixa: --from A --to B");
    if (parsed->from > parsed->to) return UsageError("commission", "--from deve ser menor ou igual a --to");
    // A transmitter left at the factory address would be taken for the next new one.
    if (parsed->from <= kFactoryAddress)
        return UsageError("commission", "a faixa não pode incluir o endereço de fábrica 1");
    return kExitOk;
}

// The configuration file, read and checked once before any transmitter is touched.
int ReadRequests(const std::string& path, std::vector<RequestedValue>* requests) {
    FILE* file = OpenFile(path, "rb");
    if (!file) {
        Complain(Format("não foi possível ler o arquivo %s: %s", path.c_str(), FileErrorText(errno).c_str()));
        return kExitFile;
    }
    std::string bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    std::string text, problem;
    std::vector<std::string> problems;
    if (!DecodeFileText(bytes, &text, &problem))
        problems.push_back(problem);
    else
        ParseConfigIni(text, requests, &problems);
    for (const std::string& each : problems) Complain(path + ", " + each);
    return problems.empty() ? kExitOk : kExitUsage;
}

bool Answers(LineSession& session, int address) {
    session.Settings().deviceAddress = static_cast<uint8_t>(address);
    uint16_t identity = 0;
    return ReadHolding(session.line, kIdentityRegister, &identity) == kLinkOk;
}

// Waits on the open line until a transmitter answers at the factory address; false on Ctrl-C.
bool WaitForFactoryTransmitter(LineSession& session) {
    while (!Interrupted()) {
        if (Answers(session, kFactoryAddress)) return true;
        if (!PauseUnlessInterrupted(kWaitPauseMs)) return false;
    }
    return false;
}

// The first address from next on that nobody answers at; 0 when the range is used up.
int NextFreeAddress(LineSession& session, int next, int last) {
    for (int address = next; address <= last && !Interrupted(); ++address) {
        if (!Answers(session, address)) return address;
        WriteOut(Format("endereço %d já está em uso na linha: pulado\n", address));
    }
    return 0;
}

std::string SerialAtFactoryAddress(LineSession& session) {
    session.Settings().deviceAddress = kFactoryAddress;
    uint16_t words[kConfigBlockWords] = {};
    if (ReadConfigBlock(session.line, words) != kLinkOk) return "";
    return SerialNumberText(session.TakeRead(words).serialNumber);
}

int WriteSummary(const std::string& path, const std::vector<Commissioned>& done) {
    std::string text = "endereco,numero_serie,resultado\n";
    for (const Commissioned& each : done)
        text += Format("%d,%s,%s\n", each.address, CsvField(each.serial).c_str(), CsvField(each.result).c_str());
    std::string problem;
    if (ReplaceWholeFile(path, text, &problem)) return kExitOk;
    Complain(Format("não foi possível gravar o arquivo %s: %s", path.c_str(), problem.c_str()));
    return kExitFile;
}

// One transmitter found at the factory address: moved to address, configured; an exit code.
int CommissionOne(LineSession& session, const GlobalOptions& options, int address, const std::string& configPath,
                  const std::vector<RequestedValue>& requests, Commissioned* record) {
    session.Close();
    GlobalOptions factory = options;
    factory.address = kFactoryAddress;
    // The same echo-confirmed change as orvictl address, confirmed at the new address.
    int code = ChangeNetwork(session, ResolveLineTarget(factory), static_cast<uint8_t>(address), 0);
    if (code != kExitOk) {
        record->result = "endereço não confirmado";
        return code;
    }
    if (!configPath.empty()) {
        GlobalOptions moved = options;
        moved.address = address;
        code = session.Open(ResolveLineTarget(moved));
        int written = 0;
        if (code == kExitOk) code = ApplyConfiguration(session, requests, ChangeMode::Write, nullptr, &written);
        session.Close();
        if (code != kExitOk) {
            record->result = "endereço ok; configuração falhou";
            return code;
        }
        record->result = Format("endereço ok; %d parâmetro(s) escritos", written);
        return kExitOk;
    }
    record->result = "endereço ok";
    return kExitOk;
}
}  // namespace

int RunCommission(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    CommissionArguments parsed;
    int code = ParseCommissionArguments(arguments, &parsed);
    if (code != kExitOk) return code;
    std::vector<RequestedValue> requests;
    if (!parsed.configPath.empty() && (code = ReadRequests(parsed.configPath, &requests)) != kExitOk) return code;

    GlobalOptions factory = options;
    factory.address = kFactoryAddress;
    std::vector<Commissioned> done;
    int next = parsed.from;
    code = kExitOk;
    while (code == kExitOk && next <= parsed.to && !Interrupted()) {
        code = session.Open(ResolveLineTarget(factory));
        if (code != kExitOk) break;
        WriteErr(Format("esperando um transmissor no endereço de fábrica %d (%s); Ctrl-C termina\n", kFactoryAddress,
                        session.Description().c_str()));
        if (!WaitForFactoryTransmitter(session)) break;
        const std::string serial = SerialAtFactoryAddress(session);
        const int address = NextFreeAddress(session, next, parsed.to);
        if (address == 0) {
            if (!Interrupted()) Complain(Format("nenhum endereço livre até %d: o transmissor fica no 1", parsed.to));
            code = Interrupted() ? kExitOk : kExitCheck;
            break;
        }
        Commissioned record = {address, serial, ""};
        code = CommissionOne(session, options, address, parsed.configPath, requests, &record);
        done.push_back(record);
        WriteOut(Format("%3d  %s  %s\n", address, serial.c_str(), record.result.c_str()));
        next = address + 1;
    }
    session.Close();
    // Ctrl-C while waiting is how a session ends early; only a device left half done is an interruption.
    if (code == kExitInterrupted) Complain("interrompido: o último transmissor pode ter ficado pela metade");
    WriteErr(Format("%d transmissor(es) comissionado(s)\n", static_cast<int>(done.size())));
    if (!parsed.csvPath.empty()) {
        const int written = WriteSummary(parsed.csvPath, done);
        if (code == kExitOk) code = written;
    }
    return code;
}
