// orvictl: the Orvi transmitter from a terminal or a script; global options, then one command.
#include <chrono>
#include <string>
#include <vector>

#include "commands.h"
#include "exit_codes.h"
#include "frame_dump.h"
#include "line_session.h"
#include "network_port.h"
#include "network_wait.h"
#include "orvi_version.h"
#include "platform.h"
#include "text_output.h"
#include "write_journal.h"

namespace {
// A connection that drops ends the command as a transmitter that stops answering does, whatever
// the command made of it; Ctrl-C, a port that never opened and the usage stay what they were.
int ExitCodeAfter(int code, bool connectionDropped) {
    const bool kept = code == kExitInterrupted || code == kExitUsage || code == kExitPort || code == kExitFile;
    return connectionDropped && !kept ? kExitNoReply : code;
}

std::string GlobalHelp() {
    std::string text =
        "orvictl: configura transmissores Orvi pela linha serial (Modbus RTU), de um terminal ou de um script.\n"
        "\n"
        "Uso: orvictl [--port PORTA] [--baud TAXA] [--address ENDEREÇO] [--verbose] COMANDO [argumentos]\n"
        "     orvictl --version\n"
        "\n"
        "Opções globais (antes do comando):\n"
        "  --port PORTA        porta serial: /dev/ttyUSB0 no Linux, COM3 no Windows\n"
        "  --baud TAXA         1200, 2400, 4800, 9600 ou 19200\n"
        "  --address ENDEREÇO  endereço do transmissor, 1 a 247\n"
        "  --timeout MS        portas de rede: espera além da da linha (padrão: segue a rede medida)\n"
        "  --unit N            gateway Modbus TCP: a unidade do transmissor, se não é o endereço (1 a 255)\n"
        "  --verbose           mostra na saída de erro cada quadro enviado e recebido (hexa, com a hora) e,\n"
        "                      numa porta de rede, os bytes da conexão\n"
        "  --version           mostra a versão\n"
        "PORTA pode ser tcp://HOST:PORTA, rfc2217://HOST:PORTA ou modbus-tcp://HOST[:PORTA] (veja o manual).\n"
        "Sem elas valem o orvi.ini (Windows) ou o padrão: endereço 1, 9600 bit/s, /dev/ttyUSB0 ou COM1.\n"
        "\n"
        "Comandos (cada um com --help):\n";
    for (int i = 0; i < kCommandCount; ++i) text += Format("  %-9s %s\n", kCommands[i].name, kCommands[i].summary);
    text +=
        "\n"
        "Resultados vão para a saída padrão; mensagens, para a saída de erro.\n"
        "\n"
        "Códigos de saída:\n"
        "  0    sucesso (diff: nada difere)\n"
        "  1    diff: o transmissor difere do arquivo; report: a verificação da malha como deixada reprovou\n"
        "  2    uso incorreto: argumento, arquivo INI, chave ou valor inválido (nada escrito)\n"
        "  3    a porta serial não abre\n"
        "  4    o transmissor não respondeu, ou a conexão de rede caiu\n"
        "  5    uma verificação de consistência falhou (nada escrito)\n"
        "  6    uma escrita, sua conferência ou a confirmação de endereço ou taxa falhou\n"
        "  7    um arquivo não pôde ser lido ou gravado\n"
        "  130  interrompido com Ctrl-C (a porta é fechada; nenhuma escrita fica pela metade)\n";
    return text;
}
}  // namespace

int main(int argc, char** argv) {
    SuppressSystemErrorBoxes();
    InstallInterruptHandler();
    // The run's one line; each command opens it where it needs it.
    LineSession session;
    // Before any command runs: none can write without being journalled.
    StartWriteJournal(
        "orvictl", [&session] { return session.PortName(); }, Complain);
    const std::vector<std::string> all = CommandLineArguments(argc, argv);
    GlobalOptions options;
    const int at = ParseGlobalOptions(all, &options);
    if (at < 0) return kExitUsage;
    if (at >= static_cast<int>(all.size())) {
        WriteErr(GlobalHelp());
        return kExitUsage;
    }
    const std::string& name = all[static_cast<size_t>(at)];
    if (name == "--version") {
        WriteOut(Format("orvictl %d.%d.%d.%d (Orvi %s)\n", ORVI_VERSION_MAJOR, ORVI_VERSION_MINOR, ORVI_VERSION_PATCH,
                        ORVI_VERSION_TWEAK, ORVI_VERSION_TEXT));
        return kExitOk;
    }
    session.SetVerbose(options.verbose);
    if (name == "--help" || name == "-h" || name == "help") {
        WriteOut(GlobalHelp());
        return kExitOk;
    }
    for (int i = 0; i < kCommandCount; ++i) {
        if (name != kCommands[i].name) continue;
        const Arguments arguments(all.begin() + at + 1, all.end());
        if (WantsHelp(arguments)) {
            WriteOut(kCommands[i].help);
            return kExitOk;
        }
        const int code = kCommands[i].run(session, options, arguments);
        session.Close();
        return ExitCodeAfter(code, session.Network().ConnectionDropped());
    }
    Complain(Format("comando desconhecido: %s (veja orvictl --help)", name.c_str()));
    return kExitUsage;
}
