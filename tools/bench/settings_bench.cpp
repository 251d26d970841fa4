// Benchmark of the INI file, the trace report and the saved files (not a test): the program's
// start-up with an empty INI file and with a long host name history, CopyTraceReport for a full
// table, and the same table saved in each format (built, then written whole).
//   settings_bench.exe [history entries, default 200] [hops, default 40]
#include "app/app.h"
#include "bench_clock.h"
#include "common/bounded_text.h"
#include "hoptable/trace_report.h"
#include "save/save_trace.h"
#include "trace/trace.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

static void WriteIni(const std::string& text) {
    HANDLE file =
        CreateFileA("routelark.ini", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

static double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Start-up from the call to the shown window, and the shutdown that writes the file back;
// the file is put back as it was before each run.
static void TimeStartup(const char* what, const std::string& ini, int runs) {
    std::vector<double> startups, shutdowns;
    for (int i = 0; i < runs; i++) {
        WriteIni(ini);
        double from = NowMs();
        StartProgram(GetModuleHandleA(nullptr));
        double shown = NowMs();
        DestroyWindow(MainWindow);
        startups.push_back(shown - from);
        shutdowns.push_back(NowMs() - shown);
    }
    printf("  %-34s start-up %6.1f ms, shutdown %6.1f ms (medians of %d runs)\n", what,
           Median(startups), Median(shutdowns), runs);
}

// Save As without its dialog, for the hops that TimeCopy made: each file built and written
// whole into the working folder through its temporary file.
static void TimeSave(int hops, int runs) {
    CopyText(TracedHostText, sizeof TracedHostText, "dest.routelark.test");
    GetSystemTime(&TraceStartTime);
    DestinationAddress = inet_addr("198.18.7.1");
    const struct {
        SaveFormat format;
        const char* name;
    } formats[] = {{SaveFormat::Text, "saved.txt"},
                   {SaveFormat::Html, "saved.html"},
                   {SaveFormat::Csv, "saved.csv"}};
    for (const auto& f : formats) {
        std::vector<double> builds, writes;
        std::string file;
        for (int i = 0; i < runs; i++) {
            double from = NowMs();
            BuildSavedFile(f.format, file);
            double built = NowMs();
            WriteWholeFileSafely(f.name, file);
            builds.push_back(built - from);
            writes.push_back(NowMs() - built);
        }
        printf("  Save As %-10s %d hops (%zu bytes): built %.3f ms, written %.3f ms (medians of "
               "%d), slowest write %.3f ms\n",
               f.name, hops, file.size(), Median(builds), Median(writes), runs,
               *std::max_element(writes.begin(), writes.end()));
        DeleteFileA(f.name);
    }
}

static void TimeCopy(int hops, int runs) {
    StartProgram(GetModuleHandleA(nullptr));
    for (int r = 0; r < hops; r++) {
        HopList[r] = new CPinger(inet_addr("198.18.1.1"));
        HopList[r]->SetHostText(("hop-" + std::to_string(r) + ".routelark.test").c_str());
        HopList[r]->RecordRtt(12);
        HopList[r]->SetSentCount(1000);
        HopList[r]->SetReceivedCount(990);
    }
    HopCount = hops;
    std::vector<double> copies;
    std::string report;
    for (int i = 0; i < runs; i++) {
        double from = NowMs();
        CopyTraceReport();
        copies.push_back(NowMs() - from);
    }
    BuildTraceReport(report);
    printf("  CopyTraceReport, %d hops (%zu bytes): %.3f ms (median of %d), slowest %.3f ms\n",
           hops, report.size(), Median(copies), runs,
           *std::max_element(copies.begin(), copies.end()));
    TimeSave(hops, runs / 4);
    DestroyWindow(MainWindow);
}

int main(int argc, char** argv) {
    int entries = argc > 1 ? atoi(argv[1]) : 200;
    int hops = argc > 2 ? std::min(atoi(argv[2]), static_cast<int>(kHopListCapacity)) : 40;
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string work = std::string(folder) + "routelark-settings-bench";
    CreateDirectoryA(work.c_str(), nullptr);
    SetCurrentDirectoryA(work.c_str());
    std::string history = "[IPs]\r\nSelected=1\r\n";
    for (int k = 1; k <= entries; k++)
        history += std::to_string(k) + "=host-" + std::to_string(k) + ".routelark.test\r\n";
    printf("Settings benchmark\n");
    TimeStartup("empty INI file:", "", 20);
    TimeStartup(("\"IPs\" history of " + std::to_string(entries) + " entries:").c_str(), history,
                20);
    TimeCopy(hops, 200);
    DeleteFileA("routelark.ini");
    DeleteFileA("starlane.htm");
    SetCurrentDirectoryA(folder);
    RemoveDirectoryA(work.c_str());
    return 0;
}
