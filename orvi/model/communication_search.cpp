// The automatic search over the five baud rates.
#include "communication_search.h"
#include <cstdio>
#include "communication_address.h"
#include "communication_rates.h"

SearchOutcome RunAutomaticSearch(CommSettings& settings, CommunicationLine& line) {
    const uint8_t savedAddress = settings.deviceAddress;
    const int32_t savedBaud = settings.baudRate;
    SearchOutcome outcome = {false, savedBaud, 0, 0, kLinkOk, 0};
    // Address 0 with replies from any address: the transmitter answers with its own.
    settings.deviceAddress = 0;
    for (int32_t rate : kNetworkRates) {
        settings.baudRate = rate;
        line.Reopen();
        uint16_t identity = 0;
        if (line.ReadIdentity(&identity) != kLinkOk || identity != 1) continue;
        // Without its address the transmitter cannot be reached afterwards, so it is not "found";
        // the first such answer is kept to tell the user what was heard.
        uint16_t address = 0;
        const LinkError addressError = line.ReadAddress(&address);
        // The transmitter answers at the low byte; 0 (broadcast) and 248 up cannot reach it on a bus.
        const uint8_t answersAt = static_cast<uint8_t>(address & 0xFFu);
        if (addressError == kLinkOk && answersAt >= kLowestNetworkAddress && answersAt <= kHighestNetworkAddress) {
            settings.deviceAddress = answersAt;
            return SearchOutcome{true, rate, answersAt, rate, kLinkOk, address};
        }
        if (outcome.answeredBaud == 0) {
            outcome.answeredBaud = rate;
            outcome.addressError = addressError;
            outcome.addressValue = addressError == kLinkOk ? address : 0;
        }
    }
    // Host and page controls must agree again: back to what the page still shows.
    settings.deviceAddress = savedAddress;
    settings.baudRate = savedBaud;
    line.Reopen();
    return outcome;
}

std::string SearchFailureText(const SearchOutcome& outcome) {
    if (outcome.answeredBaud == 0) return "Não foi possível comunicar com o Orvi!";
    char text[320];
    if (outcome.addressError != kLinkOk)
        std::snprintf(text, sizeof text,
                      "Um Orvi respondeu a %d baud, mas a leitura do seu endereço falhou (%s)!\n\n"
                      "Verifique a ligação e execute a busca de novo.",
                      static_cast<int>(outcome.answeredBaud), LinkErrorText(outcome.addressError));
    else
        std::snprintf(text, sizeof text,
                      "Um Orvi respondeu a %d baud, mas o seu endereço (%d) não está entre 1 e 247!\n\n"
                      "Com esse endereço ele não pode ser acessado. Consulte a assistência técnica.",
                      static_cast<int>(outcome.answeredBaud), outcome.addressValue & 0xFF);
    return text;
}
