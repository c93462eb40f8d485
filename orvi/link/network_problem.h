// Why a connection could not be made or broke, in the user's words, for the failures both socket
// libraries report alike; each platform maps its own codes onto these.
#pragma once
#include <cstdint>
#include <string>

enum class NetworkProblem {
    kRefused,             // nothing listens at that port: the only failure called "recusada"
    kTimedOut,            // no answer within the wait
    kUnreachable,         // no route to the network or the host
    kReset,               // the other side broke the connection off
    kAborted,             // this side's system gave the connection up
    kNetworkDown,         // the network interface is down
    kAddressUnavailable,  // no local address can reach that one
    kNotPermitted,        // a firewall or the system's rules forbid it
    kNoResources,         // the system ran out of memory or sockets
    kFamilyUnsupported,   // an IPv6 address on a machine without IPv6, or the reverse
};

const char* NetworkProblemText(NetworkProblem problem);

// Why a server's name gave no address.
enum class NameProblem {
    kNotFound,      // the name does not exist
    kNoAddress,     // it exists, without an IP address
    kServerSilent,  // the name server did not answer (for now)
    kServerFailed,  // the name server failed
    kTimedOut,      // no answer within the wait, which this program bounds itself
};

std::string NameProblemText(NameProblem problem, const std::string& host, uint32_t waitedMs);
