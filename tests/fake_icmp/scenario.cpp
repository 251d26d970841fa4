// Parser of the fake ICMP library's scenario text and the player that picks each answer.
#include "scenario.h"
#include <cstring>

namespace fake_icmp {
namespace {

struct StatusName {
    const char* name;
    uint32_t code;
};

// Names for the statuses a test is likely to want; any number is accepted as well.
const StatusName kStatusNames[] = {
    {"success", 0},
    {"net-unreachable", 11002},
    {"host-unreachable", 11003},
    {"protocol-unreachable", 11004},
    {"port-unreachable", 11005},
    {"no-resources", 11006},
    {"packet-too-big", 11009},
    {"timed-out", 11010},
    {"bad-route", 11012},
    {"ttl-expired", 11013},
    {"ttl-expired-reassembly", 11014},
    {"param-problem", 11015},
    {"source-quench", 11016},
    {"bad-destination", 11018},
    {"general-failure", 11050},
};

// Decimal digits only, no sign, at most max.
bool ParseNumber(const std::string& text, uint32_t max, uint32_t* value) {
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + static_cast<unsigned>(c - '0');
    }
    if (result > max)
        return false;
    *value = static_cast<uint32_t>(result);
    return true;
}

bool ParseStatus(const std::string& text, uint32_t* status) {
    for (const StatusName& entry : kStatusNames) {
        if (text == entry.name) {
            *status = entry.code;
            return true;
        }
    }
    return ParseNumber(text, UINT32_MAX, status);
}

bool ParseTtl(const std::string& text, EchoRule* rule) {
    if (text == "*")
        return true;
    uint32_t low = 0;
    uint32_t high = 0;
    size_t dash = text.find('-');
    if (dash == std::string::npos) {
        if (!ParseNumber(text, 255, &low))
            return false;
        high = low;
    } else if (!ParseNumber(text.substr(0, dash), 255, &low) ||
               !ParseNumber(text.substr(dash + 1), 255, &high) || low > high) {
        return false;
    }
    rule->anyTtl = false;
    rule->ttlLow = static_cast<int>(low);
    rule->ttlHigh = static_cast<int>(high);
    return true;
}

// Splits one line into words, dropping a comment that starts with '#'.
std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size() && line[i] != '#') {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
               line[i] != '#')
            ++i;
        words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Parses one line's words; returns an empty string or the reason it is bad.
class LineParser {
  public:
    LineParser(const std::vector<std::string>& words, int line) : words_(words), line_(line) {}

    // "echo DEST TTL ANSWER OPTIONS" (isDefault: "default ANSWER OPTIONS").
    std::string ParseEcho(bool isDefault, EchoRule* rule) {
        rule->line = line_;
        size_t next = 1;
        if (!isDefault) {
            if (words_.size() < 4)
                return "'echo' needs a destination, a TTL and an answer (reply or timeout)";
            if (words_[1] != "*") {
                rule->anyDestination = false;
                if (!ParseAddress(words_[1], &rule->destination))
                    return "bad destination '" + words_[1] +
                           "' (expected * or an address such as 198.18.0.1)";
            }
            if (!ParseTtl(words_[2], rule))
                return "bad TTL '" + words_[2] +
                       "' (expected *, a number 0-255 or a range such as 1-5)";
            next = 3;
        } else if (words_.size() < 2) {
            return "'default' needs an answer (reply or timeout)";
        }
        const std::string& answer = words_[next++];
        if (answer == "reply") {
            rule->reply = true;
            if (next >= words_.size())
                return "'reply' needs the responder's address (or dest)";
            const std::string& responder = words_[next++];
            if (responder == "dest")
                rule->responderIsDestination = true;
            else if (!ParseAddress(responder, &rule->responder))
                return "bad responder '" + responder + "' (expected an address or dest)";
        } else if (answer == "timeout") {
            rule->reply = false;
            rule->status = kStatusTimedOut;
        } else {
            return "unknown answer '" + answer + "' (expected reply or timeout)";
        }
        return ParseOptions(next, isDefault ? "default" : "echo", rule);
    }

    // "create fail [error N] [times N]".
    std::string ParseCreate(CreateRule* rule) {
        rule->line = line_;
        if (words_.size() < 2 || words_[1] != "fail")
            return "'create' needs 'fail' (IcmpCreateFile succeeds unless told to fail)";
        bool seenError = false;
        bool seenTimes = false;
        for (size_t i = 2; i < words_.size(); i += 2) {
            const std::string& option = words_[i];
            bool* seen = option == "error" ? &seenError : option == "times" ? &seenTimes : nullptr;
            if (!seen)
                return "unknown option '" + option + "' for create (expected error or times)";
            if (*seen)
                return "'" + option + "' given twice";
            *seen = true;
            if (i + 1 >= words_.size())
                return "'" + option + "' needs a number";
            uint32_t value = 0;
            if (option == "error") {
                if (!ParseNumber(words_[i + 1], UINT32_MAX, &value))
                    return "'error' needs a number, not '" + words_[i + 1] + "'";
                rule->error = value;
            } else {
                std::string problem = ParseTimes(words_[i + 1], &rule->times);
                if (!problem.empty())
                    return problem;
            }
        }
        return "";
    }

  private:
    std::string ParseTimes(const std::string& text, int* times) {
        uint32_t value = 0;
        if (!ParseNumber(text, 1000000, &value))
            return "'times' needs a number up to 1000000, not '" + text + "'";
        if (value == 0)
            return "'times' must be 1 or more";
        *times = static_cast<int>(value);
        return "";
    }

    // Options after the answer, in any order, each at most once.
    std::string ParseOptions(size_t next, const char* statement, EchoRule* rule) {
        const bool isDefault = strcmp(statement, "default") == 0;
        std::vector<std::string> seen;
        for (size_t i = next; i < words_.size(); ++i) {
            const std::string& option = words_[i];
            for (const std::string& earlier : seen) {
                if (earlier == option)
                    return "'" + option + "' given twice";
            }
            seen.push_back(option);
            const bool hasValue = i + 1 < words_.size();
            const std::string value = hasValue ? words_[i + 1] : "";
            if (option == "hold") {
                rule->hold = true;
            } else if (option == "write-status") {
                if (rule->reply)
                    return "'write-status' applies only to timeout";
                rule->writeStatus = true;
            } else if (option == "status" || option == "rtt") {
                if (!rule->reply)
                    return "'" + option + "' applies only to reply";
                if (!hasValue)
                    return "'" + option + "' needs a value";
                if (option == "status" && !ParseStatus(value, &rule->status))
                    return "unknown status '" + value +
                           "' (a number or a name such as "
                           "success, ttl-expired, net-unreachable)";
                if (option == "rtt" && !ParseNumber(value, UINT32_MAX, &rule->rtt))
                    return "'rtt' needs a number of ms, not '" + value + "'";
                ++i;
            } else if (option == "times") {
                if (isDefault)
                    return "'times' is not allowed on default (the default never runs out)";
                if (!hasValue)
                    return "'times' needs a number";
                std::string problem = ParseTimes(value, &rule->times);
                if (!problem.empty())
                    return problem;
                ++i;
            } else if (option == "delay") {
                if (!hasValue)
                    return "'delay' needs a number of ms";
                if (!ParseNumber(value, kMaxDelayMs, &rule->delayMs))
                    return "'delay' needs a number of ms up to " + std::to_string(kMaxDelayMs) +
                           ", not '" + value + "'";
                ++i;
            } else {
                return "unknown option '" + option + "' for " + statement;
            }
        }
        return "";
    }

    const std::vector<std::string>& words_;
    int line_;
};

} // namespace

uint32_t MakeAddress(unsigned a, unsigned b, unsigned c, unsigned d) {
    const unsigned char octets[4] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                     static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
    uint32_t address = 0;
    memcpy(&address, octets, sizeof address);
    return address;
}

bool ParseAddress(const std::string& text, uint32_t* address) {
    uint32_t octets[4] = {};
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        size_t end = i < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos)
            return false;
        std::string part = text.substr(start, end - start);
        if (part.size() > 3 || !ParseNumber(part, 255, &octets[i]))
            return false;
        start = end + 1;
    }
    *address = MakeAddress(octets[0], octets[1], octets[2], octets[3]);
    return true;
}

std::string FormatAddress(uint32_t address) {
    unsigned char octets[4];
    memcpy(octets, &address, sizeof octets);
    return std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." +
           std::to_string(octets[2]) + "." + std::to_string(octets[3]);
}

bool ParseScenario(const char* text, Scenario* scenario, std::string* error) {
    *scenario = Scenario();
    error->clear();
    Scenario result;
    int line = 0;
    const char* cursor = text ? text : "";
    while (*cursor) {
        ++line;
        const char* end = strchr(cursor, '\n');
        size_t length = end ? static_cast<size_t>(end - cursor) : strlen(cursor);
        std::string content(cursor, length);
        cursor += length + (end ? 1 : 0);
        if (!content.empty() && content.back() == '\r')
            content.pop_back();
        std::string problem;
        if (content.size() > kMaxLineLength) {
            problem = "longer than " + std::to_string(kMaxLineLength) + " characters";
        } else {
            std::vector<std::string> words = SplitWords(content);
            LineParser parser(words, line);
            if (words.empty())
                continue;
            if (result.echoes.size() + result.creates.size() >= kMaxRules) {
                problem = "more than " + std::to_string(kMaxRules) + " rules";
            } else if (words[0] == "echo") {
                EchoRule rule;
                problem = parser.ParseEcho(false, &rule);
                result.echoes.push_back(rule);
            } else if (words[0] == "default") {
                if (result.hasDefault)
                    problem = "second default (the first is on line " +
                              std::to_string(result.fallback.line) + ")";
                else
                    problem = parser.ParseEcho(true, &result.fallback);
                result.hasDefault = true;
            } else if (words[0] == "create") {
                CreateRule rule;
                problem = parser.ParseCreate(&rule);
                result.creates.push_back(rule);
            } else {
                problem = "unknown statement '" + words[0] + "' (expected echo, default or create)";
            }
        }
        if (!problem.empty()) {
            *error = "line " + std::to_string(line) + ": " + problem;
            return false;
        }
    }
    *scenario = result;
    return true;
}

void ScenarioPlayer::Load(const Scenario& scenario) {
    scenario_ = scenario;
    echoUses_.assign(scenario_.echoes.size(), 0);
    createUses_.assign(scenario_.creates.size(), 0);
}

EchoAnswer ScenarioPlayer::ChooseEcho(uint32_t destination, int ttl) {
    const EchoRule* chosen = nullptr;
    for (size_t i = 0; i < scenario_.echoes.size() && !chosen; ++i) {
        const EchoRule& rule = scenario_.echoes[i];
        if (rule.times > 0 && echoUses_[i] >= rule.times)
            continue;
        if (!rule.anyDestination && rule.destination != destination)
            continue;
        if (!rule.anyTtl && (ttl < rule.ttlLow || ttl > rule.ttlHigh))
            continue;
        ++echoUses_[i];
        chosen = &rule;
    }
    if (!chosen && scenario_.hasDefault)
        chosen = &scenario_.fallback;
    EchoAnswer answer;
    if (!chosen)
        return answer;
    answer.reply = chosen->reply;
    answer.address = chosen->responderIsDestination ? destination : chosen->responder;
    answer.status = chosen->reply ? chosen->status : kStatusTimedOut;
    answer.rtt = chosen->reply ? chosen->rtt : 0;
    answer.delayMs = chosen->delayMs;
    answer.hold = chosen->hold;
    answer.writeStatus = chosen->writeStatus;
    answer.line = chosen->line;
    if (!answer.reply)
        answer.address = 0;
    return answer;
}

const CreateRule* ScenarioPlayer::ChooseCreate() {
    for (size_t i = 0; i < scenario_.creates.size(); ++i) {
        const CreateRule& rule = scenario_.creates[i];
        if (rule.times > 0 && createUses_[i] >= rule.times)
            continue;
        ++createUses_[i];
        return &rule;
    }
    return nullptr;
}

} // namespace fake_icmp
