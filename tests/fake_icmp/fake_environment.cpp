// The fake icmp.dll's outside world: FAKE_ICMP_SCENARIO, scenario files, FAKE_ICMP_LOG, stderr.
#include "fake_state.h"
#include "harness/wine_path.h"

namespace fake_icmp {
namespace {

constexpr DWORD kMaxScenarioBytes = 64 * 1024;

enum class Variable { Unset, Set, TooLong };

// Reads an environment variable of the process, up to kMaxScenarioBytes.
Variable ReadEnvironment(const char* name, std::string* value) {
    char small[512];
    DWORD length = GetEnvironmentVariableA(name, small, sizeof small);
    if (length == 0)
        return Variable::Unset;
    if (length < sizeof small) {
        value->assign(small, length);
        return Variable::Set;
    }
    if (length > kMaxScenarioBytes + 1)
        return Variable::TooLong;
    std::string buffer(length, '\0');
    DWORD copied = GetEnvironmentVariableA(name, &buffer[0], length);
    if (copied == 0 || copied >= length)
        return Variable::TooLong; // it grew in between
    value->assign(buffer.data(), copied);
    return Variable::Set;
}

// Reads a whole scenario file; false with *problem set when it cannot.
bool ReadScenarioFile(const std::string& path, std::string* text, std::string* problem) {
    HANDLE file = CreateFileA(WindowsPathOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = "cannot open scenario file '" + path + "' (error " +
                   std::to_string(GetLastError()) + ")";
        return false;
    }
    DWORD size = GetFileSize(file, nullptr);
    bool good = size != INVALID_FILE_SIZE && size <= kMaxScenarioBytes;
    if (!good) {
        *problem = "scenario file '" + path + "' is larger than " +
                   std::to_string(kMaxScenarioBytes) + " bytes";
    } else {
        text->assign(size, '\0');
        DWORD read = 0;
        good = size == 0 || (ReadFile(file, &(*text)[0], size, &read, nullptr) && read == size);
        if (!good)
            *problem = "cannot read scenario file '" + path + "'";
    }
    CloseHandle(file);
    return good;
}

} // namespace

void ApplyEnvironmentScenario() {
    std::string value;
    Variable variable = ReadEnvironment("FAKE_ICMP_SCENARIO", &value);
    if (variable == Variable::Unset)
        return; // whatever scenario is in use stays
    std::string text;
    std::string problem;
    if (variable == Variable::TooLong)
        problem = "longer than " + std::to_string(kMaxScenarioBytes) + " bytes";
    else if (!value.empty() && value[0] == '@')
        ReadScenarioFile(value.substr(1), &text, &problem);
    else
        text = value;
    std::string seen = value + '\n' + text + '\n' + problem;
    if (g_state.environmentRead && seen == g_state.environmentSeen)
        return;
    g_state.environmentRead = true;
    g_state.environmentSeen = seen;
    std::string error;
    if (problem.empty() && text.find('\0') != std::string::npos)
        problem = "scenario file '" + value.substr(1) + "' holds a NUL byte";
    if (!problem.empty()) {
        LoadScenario("", &error);
        Report("FAKE_ICMP_SCENARIO: " + problem + "; the scenario is empty (every echo times out)");
    } else if (!LoadScenario(text.c_str(), &error)) {
        Report("FAKE_ICMP_SCENARIO: " + error + "; the scenario is empty (every echo times out)");
    } else {
        const Scenario& scenario = g_state.player.scenario();
        Note("scenario from FAKE_ICMP_SCENARIO: " + std::to_string(scenario.echoes.size()) +
             " echo rules, " + std::to_string(scenario.creates.size()) + " create rules, " +
             (scenario.hasDefault ? "a default" : "no default"));
    }
}

void WriteLogLine(const char* line) {
    std::string path;
    if (ReadEnvironment("FAKE_ICMP_LOG", &path) != Variable::Set || path.empty())
        return;
    HANDLE file =
        CreateFileA(WindowsPathOf(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string text = std::string(line) + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

void Note(const std::string& note) {
    WriteLogLine(("# " + note).c_str());
}

void Report(const std::string& note) {
    std::string text = "fake icmp.dll: " + note + "\n";
    DWORD written = 0;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE)
        WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    Note(note);
}

} // namespace fake_icmp
