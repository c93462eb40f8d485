// The journal's line format, its reading back and the selection that `journal` shows.
#include "journal_entry.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>

#include "communication_rates.h"
#include "link_error.h"
#include "register_map.h"
#include "text_convert.h"

namespace {
std::string Number(long long value) { return std::to_string(value); }

// A string member; absent and null read as empty.
bool TakeString(const nlohmann::json& line, const char* name, std::string* out) {
    const auto it = line.find(name);
    if (it == line.end() || it->is_null()) {
        out->clear();
        return true;
    }
    if (!it->is_string()) return false;
    *out = it->get<std::string>();
    return true;
}

// A whole number member; absent and null leave *present false.
bool TakeWhole(const nlohmann::json& line, const char* name, long long* out, bool* present) {
    *present = false;
    const auto it = line.find(name);
    if (it == line.end() || it->is_null()) return true;
    if (!it->is_number_integer()) return false;
    *out = it->get<long long>();
    *present = true;
    return true;
}

// One flat object of strings, numbers and null, as JournalLine writes; null for anything else
// (nesting, true and false, bad escapes, trailing text). Bytes that are not UTF-8 (older versions
// copied a file's legacy bytes into the tag) read as U+FFFD instead of spoiling the line.
nlohmann::json ParseJournalObject(const std::string& line) {
    nlohmann::json object = nlohmann::json::parse(RepairedUtf8(line), nullptr, false);
    if (!object.is_object()) return nullptr;
    for (const auto& member : object.items())
        if (!member.value().is_string() && !member.value().is_number() && !member.value().is_null()) return nullptr;
    return object;
}

bool Digits(const std::string& text, size_t at, size_t count) {
    if (at + count > text.size()) return false;
    for (size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// Serial numbers compare as numbers when both are digits ("12345" finds "00012345").
bool SameSerial(const std::string& a, const std::string& b) {
    if (!a.empty() && !b.empty() && Digits(a, 0, a.size()) && Digits(b, 0, b.size())) {
        size_t i = a.find_first_not_of('0'), j = b.find_first_not_of('0');
        return a.substr(i == std::string::npos ? a.size() : i) == b.substr(j == std::string::npos ? b.size() : j);
    }
    return a == b;
}
}  // namespace

int32_t RateOfCode(int32_t code) {
    for (int32_t rate : kNetworkRates)
        if (BaudCode(rate) == code) return rate;
    return code;
}

std::string JournalLine(const JournalEntry& e) {
    const auto numberOrNull = [](bool known, long long value) {
        return known ? nlohmann::ordered_json(value) : nullptr;
    };
    // The members in the order the journal has always had, for people reading it.
    const nlohmann::ordered_json line = {{"time", e.time},
                                         {"user", e.user},
                                         {"machine", e.machine},
                                         {"program", e.program},
                                         {"port", e.port},
                                         {"rate", e.rate},
                                         {"address", e.address},
                                         {"serial", e.serial},
                                         {"tag", e.tag},
                                         {"key", e.key},
                                         {"register", e.reg},
                                         {"before", numberOrNull(e.hasBefore, e.before)},
                                         {"written", e.written},
                                         {"result", e.result},
                                         {"outcome", e.outcome},
                                         {"read_back", numberOrNull(e.hasReadBack, e.readBack)},
                                         {"exception", numberOrNull(e.exception != 0, e.exception)}};
    // A text that is not UTF-8 is written with U+FFFD in its place rather than lose the line.
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

bool ParseJournalLine(const std::string& line, JournalEntry* entry) {
    const nlohmann::json m = ParseJournalObject(line);
    if (m.is_null()) return false;
    JournalEntry e;
    long long rate = 0, address = 0, reg = -1, before = 0, written = 0, readBack = 0, exception = 0;
    bool hasRate = false, hasAddress = false, hasReg = false, hasWritten = false, hasException = false;
    const bool ok =
        TakeString(m, "time", &e.time) && TakeString(m, "user", &e.user) && TakeString(m, "machine", &e.machine) &&
        TakeString(m, "program", &e.program) && TakeString(m, "port", &e.port) && TakeString(m, "serial", &e.serial) &&
        TakeString(m, "tag", &e.tag) && TakeString(m, "key", &e.key) && TakeString(m, "result", &e.result) &&
        TakeWhole(m, "rate", &rate, &hasRate) && TakeWhole(m, "address", &address, &hasAddress) &&
        TakeWhole(m, "register", &reg, &hasReg) && TakeWhole(m, "before", &before, &e.hasBefore) &&
        TakeWhole(m, "written", &written, &hasWritten) && TakeString(m, "outcome", &e.outcome) &&
        TakeWhole(m, "read_back", &readBack, &e.hasReadBack) && TakeWhole(m, "exception", &exception, &hasException);
    // Without its time and what was written a line says nothing worth showing.
    if (!ok || e.time.empty() || !hasWritten) return false;
    e.rate = static_cast<int32_t>(rate);
    e.address = static_cast<int>(address);
    e.reg = hasReg ? static_cast<int>(reg) : -1;
    e.before = static_cast<int32_t>(before);
    e.written = static_cast<int32_t>(written);
    e.readBack = static_cast<int32_t>(readBack);
    e.exception = hasException ? static_cast<int>(exception) : 0;
    // No rate is a code, so a line of today reads as it was written.
    if (e.reg == kRegBaudCode) {
        e.before = RateOfCode(e.before);
        e.written = RateOfCode(e.written);
        e.readBack = RateOfCode(e.readBack);
    }
    *entry = e;
    return true;
}

namespace {
const struct {
    JournalOutcome outcome;
    const char* code;
} kOutcomeCodes[] = {
    {JournalOutcome::kConfirmed, "confirmado"}, {JournalOutcome::kNotConfirmed, "nao_confirmado"},
    {JournalOutcome::kNoReply, "sem_resposta"}, {JournalOutcome::kRefused, "recusado"},
    {JournalOutcome::kNotSent, "nao_enviado"},
};
}  // namespace

const char* JournalOutcomeCode(JournalOutcome outcome) {
    for (const auto& each : kOutcomeCodes)
        if (each.outcome == outcome) return each.code;
    return "";
}

JournalOutcome OutcomeOfEntry(const JournalEntry& entry) {
    for (const auto& each : kOutcomeCodes)
        if (entry.outcome == each.code) return each.outcome;
    // Older lines: "ok", or the link's error text (UTF-8) of the failure.
    if (entry.result == "ok") return JournalOutcome::kConfirmed;
    if (entry.result == FixedText(LinkErrorText(kLinkValueMismatch))) return JournalOutcome::kNotConfirmed;
    if (entry.result == FixedText(LinkErrorText(kLinkException))) return JournalOutcome::kRefused;
    // Anything else failed on the way: the request may have arrived.
    return JournalOutcome::kNoReply;
}

void SetJournalOutcome(JournalEntry* e, JournalOutcome outcome, const std::string& linkError) {
    e->outcome = JournalOutcomeCode(outcome);
    const std::string cause = linkError.empty() ? "" : " (" + linkError + ")";
    std::string text;
    switch (outcome) {
    case JournalOutcome::kConfirmed: text = "confirmado"; break;
    case JournalOutcome::kNotConfirmed:
        text = e->hasReadBack ? "não confirmado: lido " + Number(e->readBack) : "não confirmado: sem leitura de volta";
        break;
    case JournalOutcome::kNoReply: text = "sem resposta: pode ter sido escrito"; break;
    case JournalOutcome::kRefused: text = "recusado: exceção " + Number(e->exception); break;
    case JournalOutcome::kNotSent: text = "não enviado"; break;
    }
    const bool named =
        outcome == JournalOutcome::kNoReply || (outcome == JournalOutcome::kNotConfirmed && !e->hasReadBack);
    e->result = text + (named ? cause : "");
}

std::string IsoUtcTime(int64_t seconds) {
    // Days to a civil date (proleptic Gregorian), so that no thread-unsafe gmtime is needed.
    int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const int64_t rest = seconds - days * 86400;
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
}

bool ValidSinceText(const std::string& t) {
    if (!(Digits(t, 0, 4) && t.size() >= 10 && t[4] == '-' && Digits(t, 5, 2) && t[7] == '-' && Digits(t, 8, 2)))
        return false;
    const int month = std::atoi(t.substr(5, 2).c_str()), day = std::atoi(t.substr(8, 2).c_str());
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    std::string rest = t.substr(10);
    if (rest.empty()) return true;
    if (rest.back() == 'Z') rest.pop_back();
    if (rest.size() == 6) return rest[0] == 'T' && Digits(rest, 1, 2) && rest[3] == ':' && Digits(rest, 4, 2);
    return rest.size() == 9 && rest[0] == 'T' && Digits(rest, 1, 2) && rest[3] == ':' && Digits(rest, 4, 2) &&
           rest[6] == ':' && Digits(rest, 7, 2);
}

bool JournalEntryMatches(const JournalEntry& entry, const JournalFilter& filter) {
    if (!filter.serial.empty() && !SameSerial(filter.serial, entry.serial)) return false;
    if (!filter.since.empty()) {
        // ISO 8601 times of one form order as their texts do; the Z is not part of the comparison.
        std::string since = filter.since;
        if (since.back() == 'Z') since.pop_back();
        if (entry.time.compare(0, since.size(), since) < 0) return false;
    }
    return true;
}

std::vector<JournalEntry> SelectJournalEntries(const std::string& text, const JournalFilter& filter,
                                               int* damagedLines) {
    std::vector<JournalEntry> entries;
    *damagedLines = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        JournalEntry entry;
        if (!ParseJournalLine(line, &entry)) {
            ++*damagedLines;
            // Older versions glued a line to a torn one left by a full disk: the whole line behind it is kept.
            const size_t glued = line.rfind("{\"time\":");
            if (glued == 0 || glued == std::string::npos || !ParseJournalLine(line.substr(glued), &entry)) continue;
        }
        if (JournalEntryMatches(entry, filter)) entries.push_back(entry);
    }
    return entries;
}
