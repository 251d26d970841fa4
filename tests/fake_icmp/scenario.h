// Scenario of the fake ICMP library: the rule text, its parser and the choice of each answer.
// Platform-free (no windows.h), so it can be tested and fuzzed on its own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace fake_icmp {

// Limits that keep a mistyped scenario from growing without bound.
constexpr size_t kMaxLineLength = 200; // characters, without the line end
constexpr size_t kMaxRules = 1000;
constexpr uint32_t kMaxDelayMs = 60000;

// Status codes of the ICMP library (ipexport.h values), named so the fake needs no Windows header.
constexpr uint32_t kStatusSuccess = 0;
constexpr uint32_t kStatusBufferTooSmall = 11001;
constexpr uint32_t kStatusTimedOut = 11010;
constexpr uint32_t kStatusTtlExpired = 11013;

// Addresses are kept as Windows' IPAddr holds them: the four octets in network order in memory.
uint32_t MakeAddress(unsigned a, unsigned b, unsigned c, unsigned d);
// Parses a strict dotted quad ("198.18.0.1"); returns false for anything else.
bool ParseAddress(const std::string& text, uint32_t* address);
std::string FormatAddress(uint32_t address);

// One "echo" line, or the "default" line (which matches everything and is never used up).
struct EchoRule {
    int line = 0; // line number in the scenario text (1-based)
    bool anyDestination = true;
    uint32_t destination = 0; // when !anyDestination
    int ttlLow = 0;           // inclusive range; "*" is 0..255 and also matches a call without
    int ttlHigh = 255;        // options (TTL -1), which a number or range never matches
    bool anyTtl = true;
    bool reply = false;                  // false: time-out
    bool responderIsDestination = false; // "reply dest"
    uint32_t responder = 0;
    uint32_t status = kStatusSuccess;
    uint32_t rtt = 0;         // round-trip time written into the reply, ms
    int times = 0;            // 0: never used up
    uint32_t delayMs = 0;     // sleep before answering
    bool hold = false;        // block until the test releases the call
    bool writeStatus = false; // time-out that writes Status 11010 into the reply buffer
};

// One "create fail" line.
struct CreateRule {
    int line = 0;
    uint32_t error = 31; // ERROR_GEN_FAILURE
    int times = 0;       // 0: never used up
};

struct Scenario {
    std::vector<EchoRule> echoes;
    std::vector<CreateRule> creates;
    bool hasDefault = false;
    EchoRule fallback; // the "default" line when hasDefault
};

// Parses the scenario text (lines separated by LF or CR LF). On success fills *scenario and
// returns true; otherwise leaves *scenario empty, sets *error to "line N: reason" and returns
// false.
bool ParseScenario(const char* text, Scenario* scenario, std::string* error);

// What the fake does with one echo.
struct EchoAnswer {
    bool reply = false; // false: time-out
    uint32_t address = 0;
    uint32_t status = kStatusTimedOut;
    uint32_t rtt = 0;
    uint32_t delayMs = 0;
    bool hold = false;
    bool writeStatus = false;
    int line = 0; // the rule that decided, 0 when nothing matched and there is no default
};

// A scenario in use: counts how often each rule has answered, so "times n" runs out.
class ScenarioPlayer {
  public:
    void Load(const Scenario& scenario);
    // Picks the first rule, in text order, that matches and is not used up; then the default;
    // else a time-out. ttl is -1 when the call carried no options.
    EchoAnswer ChooseEcho(uint32_t destination, int ttl);
    // Returns the create rule that makes this IcmpCreateFile fail, or nullptr when it succeeds.
    const CreateRule* ChooseCreate();
    const Scenario& scenario() const { return scenario_; }

  private:
    Scenario scenario_;
    std::vector<int> echoUses_;
    std::vector<int> createUses_;
};

} // namespace fake_icmp
