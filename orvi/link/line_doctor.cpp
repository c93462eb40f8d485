// The doctor's rules over a line's evidence, and its own short look at a line.
#include "line_doctor.h"

#include <cstdio>

#include "line.h"
#include "link_error.h"
#include "probe.h"
#include "rtu_frame.h"
#include "serial_port.h"
#include "transactions.h"

namespace {
struct CauseText {
    LineCause cause;
    const char* key;
    const char* words;
    const char* advice;
};

const CauseText kCauses[] = {
    {LineCause::kHealthy, "saudavel", "linha saudável", "Nada a fazer: o transmissor responde bem nesta linha."},
    {LineCause::kNoLine, "sem_linha", "nada na linha",
     "Verifique se o conversor está ligado ao computador e à linha, se o transmissor está alimentado e se os "
     "fios chegam até ele; confira a porta escolhida e o endereço."},
    {LineCause::kSwappedWires, "fios_invertidos", "fios A e B invertidos",
     "Troque entre si os fios A (D-/TX-) e B (D+/TX+) no conversor ou no transmissor."},
    {LineCause::kWrongRate, "taxa_errada", "taxa de comunicação errada",
     "Use a taxa em que o transmissor responde (opção --baud), ou mude a taxa do transmissor para a da linha."},
    {LineCause::kOtherParity, "paridade_diferente", "transmissor com outra paridade ou outros bits de parada",
     "O transmissor que responde neste endereço usa outra paridade ou outros bits de parada: ajuste-o para 8N1 "
     "ou verifique se é mesmo um transmissor desta linha."},
    {LineCause::kAdapterEcho, "eco_do_adaptador", "eco do adaptador",
     "O adaptador devolve cada pedido (o receptor não fica mudo durante o envio). O programa já descarta o "
     "eco; se quiser eliminá-lo, desligue o eco no conversor (chave ou jumper \"echo\")."},
    {LineCause::kRtsEarly, "rts_cedo", "o conversor libera a linha cedo demais",
     "O conversor desliga o transmissor RS-485 antes do fim do pedido: use um conversor com controle automático "
     "de direção ou aumente o tempo de retenção do RTS."},
    {LineCause::kRtsLate, "rts_tarde", "o conversor do transmissor habilita tarde",
     "Os primeiros bytes da resposta se perdem: o conversor do lado do transmissor demora a habilitar o "
     "driver. Verifique o conversor, ou aumente o atraso de resposta do transmissor."},
    {LineCause::kNoBias, "sem_polarizacao", "falta de polarização da linha",
     "A linha fica indefinida quando ninguém fala: ligue os resistores de polarização (pull-up em B, "
     "pull-down em A) no conversor ou em um ponto da linha."},
    {LineCause::kDuplicateAddress, "endereco_duplicado", "dois transmissores no mesmo endereço",
     "Dois transmissores respondem a este endereço: deixe só um na linha e dê ao outro um endereço livre."},
    {LineCause::kOtherMaster, "outro_mestre", "outro mestre na linha",
     "Há outro mestre fazendo pedidos na linha: desligue-o (um CLP, outro computador) enquanto configura."},
    {LineCause::kNoise, "ruido", "ruído ou reflexões na linha",
     "Use cabo de par trançado blindado, aterre a blindagem num só ponto, ponha resistores de terminação "
     "(120 ohms) nas duas pontas e afaste o cabo de cabos de força; uma taxa mais baixa ajuda."},
    {LineCause::kSlowReply, "resposta_lenta", "o transmissor responde depois do tempo permitido",
     "O transmissor responde, mas tarde demais: verifique o atraso de resposta configurado nele ou um "
     "conversor/repetidor que segura a resposta."},
    {LineCause::kGatewayNoPath, "gateway_sem_caminho", "gateway sem caminho até o transmissor",
     "O gateway não alcança o transmissor: confira no gateway a porta serial, a taxa, a paridade e o número "
     "de unidade configurados, e a linha entre o gateway e o transmissor."},
    {LineCause::kUsbLatency, "latencia_usb", "timer de latência do adaptador USB alto",
     "Baixe o timer de latência do adaptador USB para 1 ms (Linux: echo 1 | sudo tee "
     "/sys/bus/usb-serial/devices/ttyUSB0/latency_timer; Windows: Gerenciador de Dispositivos, a porta, "
     "Propriedades, Configurações da Porta, Avançado, Timer de latência)."},
    {LineCause::kUnknown, "desconhecida", "causa não identificada",
     "Nada do que a linha mostrou aponta uma causa: verifique a ligação, a taxa e o endereço."},
};

const CauseText& TextOf(LineCause cause) {
    for (const CauseText& text : kCauses)
        if (text.cause == cause) return text;
    return kCauses[sizeof kCauses / sizeof kCauses[0] - 1];
}

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0, unsigned d = 0) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

// The address the line asked most, for a verdict without one.
uint8_t BusiestAddress(const LineEvidence& evidence) {
    const AddressEvidence* busiest = nullptr;
    for (const AddressEvidence& slot : evidence.addresses)
        if (slot.address != 0 && (!busiest || slot.requests > busiest->requests)) busiest = &slot;
    return busiest ? busiest->address : 0;
}

// Every fact the evidence holds, one line each; nothing where nothing was seen.
std::vector<std::string> Facts(const LineEvidence& e, const AddressEvidence& a) {
    std::vector<std::string> facts;
    facts.push_back(Format("Endereço %u: %u pedidos, %u respostas boas, %u sem resposta", a.address, a.requests,
                           a.goodReplies, a.silences));
    if (a.crcFailures) facts.push_back(Format("Respostas com CRC errado: %u", a.crcFailures));
    if (a.parityPattern)
        facts.push_back(Format("Respostas com 0x00 onde o bit de paridade seria 0: %u", a.parityPattern));
    if (a.repeatedFailures) facts.push_back(Format("Respostas erradas repetidas byte a byte: %u", a.repeatedFailures));
    if (a.shortFrames) facts.push_back(Format("Respostas curtas: %u (faltando %u bytes)", a.shortFrames, a.shortBy));
    if (a.headLost) facts.push_back(Format("Respostas sem os %u primeiros bytes: %u", a.headLostBytes, a.headLost));
    if (a.wrongAddresses) facts.push_back(Format("Respostas de outro endereço: %u", a.wrongAddresses));
    if (a.exceptions) facts.push_back(Format("Respostas de exceção: %u", a.exceptions));
    if (a.gatewayNoPath) facts.push_back(Format("Exceções 0x0A/0x0B do gateway: %u", a.gatewayNoPath));
    if (a.zeroAhead) facts.push_back(Format("Um 0x00 (break) antes da resposta: %u vezes", a.zeroAhead));
    if (a.lateReplies) facts.push_back(Format("Respostas ouvidas só antes do pedido seguinte: %u", a.lateReplies));
    if (a.replyStart.samples)
        facts.push_back(
            Format("Início da resposta: p10 %u ms, p50 %u ms, p99 %u ms; fim: p99 %u ms",
                   (a.replyStart.PercentileUs(10) + 999u) / 1000u, (a.replyStart.PercentileUs(50) + 999u) / 1000u,
                   (a.replyStart.PercentileUs(99) + 999u) / 1000u, (a.replyEnd.PercentileUs(99) + 999u) / 1000u));
    if (a.lineErrorReplies) facts.push_back(Format("Respostas com erros de linha no driver: %u", a.lineErrorReplies));
    if (e.echoWhole) facts.push_back(Format("Eco do pedido inteiro: %u vezes", e.echoWhole));
    if (e.echoCut) facts.push_back(Format("Eco do pedido cortado (%u bytes): %u vezes", e.echoCutBytes, e.echoCut));
    if (e.zeroAlone) facts.push_back(Format("Só um 0x00 (break) depois do pedido: %u vezes", e.zeroAlone));
    if (e.unaskedBytes)
        facts.push_back(Format("Bytes ouvidos sem pedido: %u (%u quadros válidos de outro mestre)", e.unaskedBytes,
                               e.unaskedFrames));
    if (e.driverCounts)
        facts.push_back(Format("Erros do driver: quadro %u, paridade %u, overrun %u, break %u", e.driver.frame,
                               e.driver.parity, e.driver.overrun, e.driver.breaks));
    else if (!e.networkLine)
        facts.push_back("O sistema não dá contadores de erro desta porta: a análise usa só os bytes");
    if (e.latencyTimerMs >= 0)
        facts.push_back(Format(e.latencyTimerMs > 2 ? "Timer de latência do adaptador USB: %u ms (acima de 2 ms)"
                                                    : "Timer de latência do adaptador USB: %u ms",
                               static_cast<unsigned>(e.latencyTimerMs)));
    const LookEvidence& look = e.look;
    if (look.rateAnswering) facts.push_back(Format("O transmissor responde a %u bit/s", look.rateAnswering));
    if (look.looked && !look.rateAnswering && look.otherRateTries)
        facts.push_back(Format(look.anyByteAtOtherRates ? "Nas outras taxas: bytes, mas nenhuma resposta (%u pedidos)"
                                                        : "Nas outras taxas: nenhum byte (%u pedidos)",
                               look.otherRateTries));
    if (look.serialsDiffer) facts.push_back("O número de série lido mudou entre duas leituras");
    if (look.slowReplyMs)
        facts.push_back(Format("Resposta depois de %u ms; o limite é %u ms", look.slowReplyMs, look.allowanceMs));
    return facts;
}

enum { kSpreadSamples = 8, kHeldBackMs = 8 };

// The rules, most particular first: a cause that explains the others wins.
LineCause Rule(const LineEvidence& e, const AddressEvidence& a) {
    const LookEvidence& look = e.look;
    const bool answers = a.goodReplies > 0;
    if (a.gatewayNoPath > 0 && !answers) return LineCause::kGatewayNoPath;
    if (e.unaskedFrames >= 1) return LineCause::kOtherMaster;
    if (e.echoCut >= 2 && !answers) return LineCause::kRtsEarly;
    if (look.rateAnswering != 0 && !answers) return LineCause::kWrongRate;
    if (e.zeroAlone >= 2 && !answers) return LineCause::kSwappedWires;
    // Replies after the allowance answer later requests: what they seem to say about CRC or serials is not to be
    // trusted.
    if (a.lateReplies >= 1 || look.slowReplyMs > 0) return LineCause::kSlowReply;
    if (a.parityPattern >= 2 && 2 * a.parityPattern >= a.crcFailures) return LineCause::kOtherParity;
    // Where the driver counts: errors on replies of the right length are a parity or stop-bit mismatch.
    if (a.lineErrorReplies >= 2 && a.crcFailures >= 2 && !answers) return LineCause::kOtherParity;
    if (a.lineErrorReplies >= 2 && !answers) return LineCause::kWrongRate;
    if (a.headLost >= 2 || (a.shortBySame >= 3 && !answers && a.crcFailures == 0)) return LineCause::kRtsLate;
    if (a.zeroAhead >= 2) return LineCause::kNoBias;
    if (look.serialsDiffer) return LineCause::kDuplicateAddress;
    if (a.crcFailures >= 3 && !answers && a.repeatedFailures >= 1) return LineCause::kDuplicateAddress;
    if (a.crcFailures + a.wrongAddresses >= 1) return LineCause::kNoise;
    const bool anyByte = e.unaskedBytes || e.echoWhole || e.zeroAlone || look.anyByteAtOtherRates || a.shortFrames;
    if (!answers && !anyByte && (look.looked || e.networkLine) && a.requests > 0) return LineCause::kNoLine;
    if (!answers) return LineCause::kUnknown;
    if (e.echoWhole >= 1) return LineCause::kAdapterEcho;
    if (e.latencyTimerMs > 2) return LineCause::kUsbLatency;
    // Without a timer to read, its mark: replies held back by up to a whole tick, so that when they
    // end spreads evenly over it, where a line without one ends each reply its line time after it began.
    if (e.latencyTimerMs < 0 && !e.networkLine && a.replyStart.samples >= kSpreadSamples &&
        a.replyStart.PercentileUs(90) >= a.replyStart.PercentileUs(10) + 1000u * kHeldBackMs)
        return LineCause::kUsbLatency;
    if (a.silences + a.shortFrames == 0) return LineCause::kHealthy;
    return LineCause::kUnknown;
}

const int32_t kRates[] = {1200, 2400, 4800, 9600, 19200};
enum {
    kIdentityRegister = 8,
    kSerialFirst = 23,
    kSerialSecond = 24,
    kLongAllowanceMs = 2000,
    kQuietMs = 600,
    kListenMs = 300,
    kPhaseStepMs = 2
};

// Replies still on their way to earlier requests would answer the next one: waits until the line
// has been quiet a while (bounded), dropping what comes meanwhile.
void WaitForQuiet(Line& line) {
    SerialDevice& device = line.Device();
    device.SetReadTimeouts({0, 0, kQuietMs});
    uint8_t drop[64];
    for (int round = 0; round < 8 && device.Read(drop, sizeof drop) > 0; ++round) {
    }
    device.SetReadTimeouts(line.portReadTimeouts);
}

// Listens to the line before asking anything: what comes now nobody of ours asked for.
void ListenWhileQuiet(Line& line) {
    SerialDevice& device = line.Device();
    device.SetReadTimeouts({0, 0, kListenMs});
    uint8_t heard[128];
    const size_t count = device.Read(heard, sizeof heard);
    device.SetReadTimeouts(line.portReadTimeouts);
    NoteUnasked(line.evidence, heard, count, nullptr, 0);
}

bool Cancelled(const std::function<bool()>& cancelled) { return cancelled && cancelled(); }

// The link's wait for a one-word reply at the line's rate, as ReceiveReply gives it.
uint32_t AllowanceMs(const Line& line) {
    const ReadTimeouts& t = line.portReadTimeouts;
    return t.perByteMs * (7u + LineFrame::kStrayBytesAllowed) + t.constantMs;
}

// A read after a quiet gap a little longer each time: an adapter that hands on what it received at the
// ticks of a timer then holds each reply back by another share of a tick, rather than by the same one.
LinkError ReadAtPhase(Line& line, int8_t reg, uint16_t* word, int* phase) {
    const uint32_t gapMs = (LineTimeUs(35, line.settings.baudRate) / 10u + 999u) / 1000u;
    HoldLineQuiet(line, (gapMs < 2u ? 2u : gapMs) + kPhaseStepMs * static_cast<uint32_t>((*phase)++));
    return ReadHolding(line, reg, word);
}

// Reads the serial number twice: two transmitters answering in turn give two.
void LookAtSerials(Line& line, LookEvidence& look, int* phase) {
    uint16_t first[2] = {};
    uint16_t second[2] = {};
    if (ReadAtPhase(line, kSerialFirst, &first[0], phase) != kLinkOk ||
        ReadAtPhase(line, kSerialSecond, &first[1], phase) != kLinkOk)
        return;
    if (ReadAtPhase(line, kSerialFirst, &second[0], phase) != kLinkOk ||
        ReadAtPhase(line, kSerialSecond, &second[1], phase) != kLinkOk)
        return;
    look.serialsDiffer = first[0] != second[0] || first[1] != second[1];
}

// One short read at each other rate; the line's own settings are put back by the caller.
void LookAtOtherRates(Line& line, LookEvidence& look, const std::function<bool()>& cancelled) {
    const int32_t own = line.settings.baudRate;
    for (const int32_t rate : kRates) {
        if (rate == own || Cancelled(cancelled)) continue;
        line.settings.baudRate = rate;
        if (!ApplyLineRate(line)) continue;
        uint16_t word = 0;
        const ProbeResult probe = ProbeRead(line, kIdentityRegister, &word, 60);
        ++look.otherRateTries;
        if (probe.heard) look.anyByteAtOtherRates = true;
        if (probe.result == kLinkOk) {
            look.rateAnswering = rate;
            break;
        }
    }
    line.settings.baudRate = own;
}
}  // namespace

const char* CauseKey(LineCause cause) { return TextOf(cause).key; }

const char* CauseWords(LineCause cause) { return TextOf(cause).words; }

LineVerdict JudgeEvidence(const LineEvidence& evidence, uint8_t address) {
    LineVerdict verdict;
    const AddressEvidence* found = evidence.Find(address);
    AddressEvidence none;
    none.address = address;
    const AddressEvidence& at = found ? *found : none;
    verdict.cause = Rule(evidence, at);
    if (verdict.cause == LineCause::kWrongRate) verdict.rateFound = evidence.look.rateAnswering;
    verdict.evidence = Facts(evidence, at);
    verdict.advice = TextOf(verdict.cause).advice;
    if (verdict.cause == LineCause::kUsbLatency && evidence.latencyHow[0]) {
        verdict.advice += " Como: ";
        verdict.advice += evidence.latencyHow;
    }
    return verdict;
}

LineVerdict JudgeEvidence(const LineEvidence& evidence) { return JudgeEvidence(evidence, BusiestAddress(evidence)); }

LineVerdict ProbableCause(const Line& line) {
    LineVerdict verdict = JudgeEvidence(line.evidence, line.settings.deviceAddress);
    // A failed read of its own says little: silence alone may be a wrong rate, and a healthy
    // verdict is no cause.
    if (verdict.cause == LineCause::kHealthy || verdict.cause == LineCause::kNoLine ||
        verdict.cause == LineCause::kUsbLatency || verdict.cause == LineCause::kAdapterEcho) {
        verdict.cause = LineCause::kUnknown;
        verdict.advice = TextOf(LineCause::kUnknown).advice;
    }
    return verdict;
}

LineVerdict ExamineLine(Line& line, uint8_t address, const std::function<bool()>& cancelled) {
    const bool network = line.Codec() != nullptr || line.evidence.networkLine;
    line.evidence.Clear();
    line.evidence.networkLine = network;
    // The look asks at address; the line keeps the address it had (a configurator's line goes on with it).
    const uint8_t ownAddress = line.settings.deviceAddress;
    line.settings.deviceAddress = address;
    LookEvidence look;
    look.looked = true;
    look.rateLooked = line.settings.baudRate;

    if (!network) ListenWhileQuiet(line);
    // At the current rate: short reads, then, where they answer, the serial number twice and a long read.
    uint16_t word = 0;
    bool answered = false;
    int phase = 0;
    for (int read = 0; read < 3 && !Cancelled(cancelled); ++read) {
        answered = ReadAtPhase(line, kIdentityRegister, &word, &phase) == kLinkOk || answered;
        const AddressEvidence* at = line.evidence.Find(address);
        // Plain silence twice: the other rates tell more than more of it.
        if (!answered && read == 1 && at && at->silences == at->requests && line.evidence.unaskedBytes == 0) break;
    }
    if (answered && !Cancelled(cancelled)) LookAtSerials(line, look, &phase);
    if (!Cancelled(cancelled)) {
        uint16_t block[kConfigBlockWords];
        for (int read = 0; read < 2 && answered; ++read) {
            HoldLineQuiet(line, kPhaseStepMs * static_cast<uint32_t>(phase++));
            ReadConfigBlock(line, block);
        }
    }
    // Replies late or missing: one more read that waits long, to see whether and when it comes.
    const AddressEvidence* at = line.evidence.Find(address);
    const bool heardSome =
        at && (at->goodReplies || at->lateReplies || at->shortFrames || at->crcFailures || line.evidence.unaskedBytes);
    if (heardSome && at->silences + at->lateReplies > 0 && !network && !Cancelled(cancelled)) {
        look.allowanceMs = AllowanceMs(line);
        WaitForQuiet(line);
        const ProbeResult slow = ProbeRead(line, kIdentityRegister, &word, kLongAllowanceMs);
        const uint32_t ms = slow.answerUs / 1000u;
        if (slow.result == kLinkOk && ms > look.allowanceMs) look.slowReplyMs = ms;
    }
    char how[sizeof line.evidence.latencyHow] = {};
    line.evidence.latencyTimerMs = network ? -1 : line.Device().LatencyTimerMs(how, sizeof how);
    std::snprintf(line.evidence.latencyHow, sizeof line.evidence.latencyHow, "%s", how);

    at = line.evidence.Find(address);
    if (!network && !Cancelled(cancelled) && (!at || at->goodReplies == 0)) {
        const LineEvidence atRate = line.evidence;
        LookAtOtherRates(line, look, cancelled);
        ApplyLineRate(line);  // back at the line's own rate, which forgets what the other rates showed
        line.evidence = atRate;
    }
    line.evidence.look = look;
    line.settings.deviceAddress = ownAddress;
    return JudgeEvidence(line.evidence, address);
}
