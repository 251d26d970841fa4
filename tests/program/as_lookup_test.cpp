// The AS lookups through the lab's real name server and Wine's own DnsQuery_A: the AS column
// filled hop by hop, a malformed answer, a slow one that does not hold up the table, and the
// setting off sending nothing.
#include "asn/asn.h"
#include "save/save_trace.h"
#include "settings/preferences.h"
#include "trace_fixture.h"
#include <algorithm>
#include <sstream>

namespace {

// The AS column sits after the ten others when the INI file shows it.
const int kAsIndex = 10;

class InTheLabAs : public ProgramTest {
  protected:
    void PrepareFolder() override {
        WriteWholeFile(folder->File("routelark.ini"),
                       std::string("[Columns]\r\nColumn10=160\r\n[Preferences]\r\nLookupAs=") +
                           (lookUp ? "1" : "0") + "\r\nAsOriginZone=" + originZone +
                           "\r\nAsNameZone=" + nameZone + "\r\n");
    }
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_NE(getenv(LAB_PREFIX_ENV), nullptr) << "run inside the lab (tools/test.sh)";
        ASSERT_FALSE(FakeIcmpLoaded()) << "these tests use the system's ICMP library";
        Settings = kDefaultSettings;
        Settings.PingTimeout = 300; // the silent router costs one timeout
        ClampSettings();
    }
    bool TraceToTheEnd() {
        TypeHost(LAB_DEST_NAME);
        StartTrace();
        return PumpUntil([] { return HopCount == LAB_DEST_HOP; }, 20000);
    }
    std::string AsCell(int hop) { return ListViewCell(HopTable, hop - 1, kAsIndex); }
    // The TXT queries the lab's name server has seen for names ending in zone.
    std::vector<std::string> TxtQueries(const std::string& zone) {
        std::string log = ReadWholeFile(std::string("Z:") + LAB_STATE_ROOT + "/" +
                                        getenv(LAB_PREFIX_ENV) + "/dns.log");
        std::vector<std::string> names;
        std::istringstream lines(log);
        for (std::string line; std::getline(lines, line);) {
            if (line.compare(0, 4, "txt ") == 0 && line.size() > zone.size() &&
                line.compare(line.size() - zone.size(), zone.size(), zone) == 0)
                names.push_back(line.substr(4));
        }
        return names;
    }

    bool lookUp = true;
    const char* originZone = LAB_AS_ORIGIN_ZONE;
    const char* nameZone = LAB_AS_NAME_ZONE;
};

TEST_F(InTheLabAs, EveryAnsweringHopShowsItsAsAndTheSlowOneComesLater) {
    ASSERT_EQ(Preferences.LookupAs, 1);
    ASSERT_TRUE(TraceToTheEnd());
    ASSERT_EQ(ListViewColumnTitle(HopTable, kAsIndex), "AS");
    // The table goes on while r6's answer is awaited: dest, found after it, shows its AS first.
    ASSERT_TRUE(PumpUntil([&] { return AsCell(LAB_DEST_HOP) != ""; }, 5000));
    EXPECT_EQ(AsCell(LAB_SLOW_HOP), "") << "r6's answer comes " << LAB_AS_SLOW_MS << " ms late";
    EXPECT_TRUE(CurrentTraceState == TraceState::Pinging ||
                CurrentTraceState == TraceState::Waiting);
    // Its number comes first, its AS's name just after.
    ASSERT_TRUE(PumpUntil([&] { return AsCell(LAB_SLOW_HOP) == "AS64516 LAB-FAR-SIDE"; }, 8000));

    const char* const expected[] = {"AS64512 LAB-EDGE", "AS64512 LAB-EDGE", "AS64513 LAB-CORE",
                                    "", "---", "AS64516 LAB-FAR-SIDE",
                                    "AS64517 LAB-DEST-"};
    for (int hop = 1; hop < LAB_DEST_HOP; hop++)
        EXPECT_EQ(AsCell(hop), expected[hop - 1]) << "hop " << hop;
    // dest's long name is cut to the column's short form
    EXPECT_EQ(AsCell(LAB_DEST_HOP), expected[LAB_DEST_HOP - 1] +
                                        std::string(kAsCellSize - 1 - strlen("AS64517 LAB-DEST-"), 'x'));

    // Copy AS carries the whole answer: both origins, and the name joined from its strings.
    char answer[512];
    ASSERT_TRUE(FormatHopAs(HopList[LAB_DEST_HOP - 1]->GetDestination(), answer, sizeof answer));
    EXPECT_EQ(std::string(answer), "AS64517 AS64518 | 198.18.7.0/24 | ZZ | lab | 2026-12-09 | "
                                   "LAB-DEST-" +
                                       std::string(kAsNameSize - 10, 'x'));
    EXPECT_FALSE(FormatHopAs(HopList[4]->GetDestination(), answer, sizeof answer)); // malformed

    // The JSON file names each hop's network where it is known, and null where it is not.
    std::string json;
    BuildSavedFile(SaveFormat::Json, json, 0);
    EXPECT_NE(json.find("\"asn\": 64512, \"as_name\": \"LAB-EDGE, ZZ\", \"prefix\": \""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"asn\": null, \"as_name\": null, \"prefix\": null, \"cc\": null"),
              std::string::npos)
        << json;

    // Each address once and each AS once: six addresses, four ASes (64512 shared, 64515's
    // answer malformed).
    std::vector<std::string> asked = TxtQueries(LAB_AS_NAME_ZONE);
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(std::unique(asked.begin(), asked.end()), asked.end()) << "a name asked twice";
    EXPECT_EQ(asked.size(), 10u);
}

class InTheLabAsOff : public InTheLabAs {
  protected:
    // Zones of this test's own, so that a test running beside it cannot touch its count.
    void PrepareFolder() override {
        lookUp = false;
        originZone = "origin.off-check.routelark.test";
        nameZone = "off-check.routelark.test";
        InTheLabAs::PrepareFolder();
    }
};

TEST_F(InTheLabAsOff, SendsNoTxtQueryAndShowsNoAs) {
    ASSERT_EQ(Preferences.LookupAs, 0);
    ASSERT_TRUE(TraceToTheEnd());
    PumpFor(1500);
    for (int hop = 1; hop <= LAB_DEST_HOP; hop++)
        EXPECT_EQ(AsCell(hop), "") << "hop " << hop;
    EXPECT_EQ(TxtQueries("off-check.routelark.test").size(), 0u);
}

} // namespace
