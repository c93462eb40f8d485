// commission --from A --to B: each new transmitter at the factory address moved to the next free
// address of a range, optionally configured from a file, one line each, and a summary CSV at the end.
#include "commands.h"
#include "config_file_read.h"
#include "exit_codes.h"
#include "factory_unit.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "monitor_csv.h"
#include "platform.h"
#include "records_platform.h"
#include "text_output.h"

namespace {
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

// The first address from next on that nobody answers at, at any rate of the line; 0 when the range
// is used up.
int NextFreeAddress(LineSession& session, int next, int last) {
    for (int address = next; address <= last && !Interrupted(); ++address) {
        const int32_t rate = RateAnsweringAt(session, static_cast<uint8_t>(address));
        if (rate == 0) return Interrupted() ? 0 : address;
        WriteOut(Format("endereço %d já está em uso na linha: pulado (responde a %d bit/s)\n", address,
                        static_cast<int>(rate)));
    }
    return 0;
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

}  // namespace

int RunCommission(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    CommissionArguments parsed;
    int code = ParseCommissionArguments(arguments, &parsed);
    if (code != kExitOk) return code;
    // A file no transmitter could take stops here, before the first unit is moved.
    std::vector<RequestedValue> requests;
    if (!parsed.configPath.empty() && (code = ReadCommissioningFile(parsed.configPath, &requests)) != kExitOk) {
        Complain("nada foi escrito.");
        return code;
    }
    const std::vector<RequestedValue>* configuration = parsed.configPath.empty() ? nullptr : &requests;

    GlobalOptions factoryOptions = options;
    factoryOptions.address = kFactoryAddress;
    const LineTarget factory = ResolveLineTarget(factoryOptions);
    std::vector<Commissioned> done;
    int commissioned = 0;
    int next = parsed.from;
    code = kExitOk;
    while (code == kExitOk && next <= parsed.to && !Interrupted()) {
        code = session.Open(factory);
        if (code != kExitOk) break;
        WriteErr(Format("esperando um transmissor no endereço de fábrica %d (%s); Ctrl-C termina\n", kFactoryAddress,
                        session.Description().c_str()));
        FactoryUnit unit;
        const int waited = WaitForFactoryUnit(session, 0, &unit);
        if (waited != kExitOk) {
            // Ctrl-C while waiting is how a session ends; a port gone is a failure.
            if (waited == kExitPort) code = waited;
            break;
        }
        const std::string serial = SerialNumberText(unit.held.serialNumber);
        std::string problem;
        // Values the file leaves to the transmitter are checked against this one before it is moved.
        if (configuration && (code = CheckUnitTakes(unit, requests, &problem)) != kExitOk) {
            Complain(problem);
            Complain(Format("nada foi escrito: o transmissor %s fica no endereço de fábrica", serial.c_str()));
            done.push_back({kFactoryAddress, serial, "configuração recusada; nada escrito"});
            break;
        }
        const int address = NextFreeAddress(session, next, parsed.to);
        if (address == 0) {
            if (!Interrupted()) Complain(Format("nenhum endereço livre até %d: o transmissor fica no 1", parsed.to));
            code = Interrupted() ? kExitOk : kExitCheck;
            break;
        }
        Commissioned record = {address, serial, ""};
        code = PlaceFactoryUnit(session, factory, static_cast<uint8_t>(address), 0, configuration, &record.result);
        done.push_back(record);
        if (code == kExitOk) ++commissioned;
        WriteOut(Format("%3d  %s  %s\n", address, serial.c_str(), record.result.c_str()));
        next = address + 1;
    }
    session.Close();
    // Ctrl-C while waiting is how a session ends early; only a device left half done is an interruption.
    if (code == kExitInterrupted) Complain("interrompido: o último transmissor pode ter ficado pela metade");
    const int failed = static_cast<int>(done.size()) - commissioned;
    WriteErr(Format("%d transmissor(es) comissionado(s)%s\n", commissioned,
                    failed ? Format("; %d com falha", failed).c_str() : ""));
    if (!parsed.csvPath.empty()) {
        const int written = WriteSummary(parsed.csvPath, done);
        if (code == kExitOk) code = written;
    }
    return code;
}
