// The Portuguese texts of the network's failures.
#include "network_problem.h"

const char* NetworkProblemText(NetworkProblem problem) {
    switch (problem) {
    case NetworkProblem::kRefused: return "a conexão foi recusada (nada escuta nessa porta)";
    case NetworkProblem::kTimedOut: return "não houve resposta no tempo de espera";
    case NetworkProblem::kUnreachable: return "o endereço não pode ser alcançado";
    case NetworkProblem::kReset: return "o outro lado desfez a conexão";
    case NetworkProblem::kAborted: return "o sistema abandonou a conexão";
    case NetworkProblem::kNetworkDown: return "a rede está fora do ar";
    case NetworkProblem::kAddressUnavailable: return "nenhum endereço desta máquina alcança esse";
    case NetworkProblem::kNotPermitted: return "o sistema não permitiu a conexão (um firewall?)";
    case NetworkProblem::kNoResources: return "faltou memória ou conexões livres no sistema";
    case NetworkProblem::kFamilyUnsupported: return "este tipo de endereço (IPv4 ou IPv6) não é usado nesta máquina";
    }
    return "";
}

std::string NameProblemText(NameProblem problem, const std::string& host, uint32_t waitedMs) {
    switch (problem) {
    case NameProblem::kNotFound: return "o nome " + host + " não foi encontrado";
    case NameProblem::kNoAddress: return "o nome " + host + " não tem endereço IP";
    case NameProblem::kServerSilent:
        return "o servidor de nomes não respondeu sobre " + host + " (tente de novo ou use o endereço IP)";
    case NameProblem::kServerFailed: return "o servidor de nomes falhou ao procurar " + host;
    case NameProblem::kTimedOut: {
        const std::string seconds = std::to_string(waitedMs / 1000) + "," + std::to_string(waitedMs % 1000 / 100);
        return "o nome " + host + " ficou sem resposta em " + seconds +
               " s (o servidor de nomes não respondeu; use o endereço IP)";
    }
    }
    return "";
}
