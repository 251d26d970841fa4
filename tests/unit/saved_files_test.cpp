// The saved files' rules that no other test reaches: the CSV layout's fields and the web page's
// marks, the ISO times with their offsets, and the suggested name.
#include "save/calendar_time.h"
#include "save/save_name.h"
#include "save/file_text.h"
#include "save/saved_files.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

// The AS lookups' answer for the first hop; its name holds a comma, as the service's names do.
const AsOrigin kOrigin = {64512, "64512 64513", "198.18.0.0/15", "ZZ", "lab", "2026-12-09"};
const AsName kNetwork = {64512, "ZZ", "lab", "2026-12-09", "LAB-EDGE, ZZ"};

// An answering hop, a placeholder, and an ignored hop whose name needs quoting.
const SavedHop kHops[] = {
    // 198.18.1.1; over ten minutes 9 answers averaging 20 ms (variance 4), 8 changes of 1.5 ms
    {{0, 0, 0, 0x010112C6, "r1.routelark.test", 12, 11, 20, 22, 18, 31},
     0,
     {10, 9, 18, 31, 180, 3636, 8, 12},
     &kOrigin,
     &kNetwork},
    {{1, 0, 1, 0, "[No response]", 0, 0, 0, 0, 0xFFFFFFFF, 0}, 1, EmptySpanFigures()},
    {{2, 0, 0, 0x010312C6, "a,\"b\"\r\n<i>", 4, 1, 5, 5, 5, 5}, 1, EmptySpanFigures()},
};

bool ReadHop(int row, SavedHop& hop) {
    hop = kHops[row];
    return true;
}

SavedTrace Trace(const ColumnDef* columns) {
    return {"1.0.0",
            "dest.routelark.test",
            0x010712C6,
            "2026-12-09T14:02:11+01:00",
            "2026-12-09T14:05:00+01:00",
            columns,
            kColumnTotal,
            3,
            ReadHop, 0, nullptr};
}

TEST(SavedFiles, CsvHasEveryColumnAndNumbersWithoutUnitsOrDashes) {
    ColumnDef columns[kColumnTotal];
    for (int n = 0; n < kColumnTotal; n++)
        columns[n] = kBuiltInColumns[n];
    columns[kColumnHostName].Visible = 0; // saved all the same
    std::string file;
    LayOutCsvFile(Trace(columns), file);
    const std::string start = "dest.routelark.test,198.18.7.1,2026-12-09T14:02:11+01:00,";
    EXPECT_EQ(file, "Target,Address,Started,Hop,IP Address,Host Name,Sent,Recv,Last RTT ms,"
                    "Avg RTT ms,Min RTT ms,Max RTT ms,Loss %,Ignored,Jitter ms,StDev ms,"
                    "ASN,AS Name,Prefix,CC\r\n" +
                        start +
                        "1,198.18.1.1,r1.routelark.test,12,11,20,22,18,31,9,0,1.5,2.0,"
                        "64512,\"LAB-EDGE, ZZ\",198.18.0.0/15,ZZ\r\n" +
                        start + "2,,[No response],,,,,,,,1,,,,,,\r\n" + start +
                        "3,198.18.3.1,\"a,\"\"b\"\"\r\n<i>\",4,1,5,5,5,5,75,1,,,,,,\r\n");
}

TEST(SavedFiles, WebPageMarksIgnoredHopsAndAlignsNumbersAsTheReportDoes) {
    std::string file;
    LayOutHtmlFile(Trace(kBuiltInColumns), file);
    EXPECT_NE(file.find("<tr><td>1</td><td>198.18.1.1</td><td>r1.routelark.test</td>"
                        "<td class=\"number\">12</td>"),
              std::string::npos);
    EXPECT_NE(file.find("<tr class=\"ignored\"><td>2</td><td>---</td><td>[No response]</td>"),
              std::string::npos);
    EXPECT_NE(file.find("<td>a,&quot;b&quot;\xEF\xBF\xBD\xEF\xBF\xBD&lt;i&gt;</td>"),
              std::string::npos);
    EXPECT_NE(file.find("<p>The rows in gray italics are ignored hops"), std::string::npos);
}

TEST(SavedFiles, IsoTimeCarriesTheOffsetOfItsMoment) {
    const struct {
        CalendarTime local, utc;
        const char* iso;
    } cases[] = {
        {{2026, 12, 9, 14, 2, 11}, {2026, 12, 9, 13, 2, 11}, "2026-12-09T14:02:11+01:00"},
        {{2026, 7, 1, 9, 0, 5}, {2026, 7, 1, 14, 30, 5}, "2026-07-01T09:00:05-05:30"},
        {{2026, 1, 1, 0, 30, 0}, {2025, 12, 31, 23, 30, 0}, "2026-01-01T00:30:00+01:00"},
        {{2024, 2, 29, 23, 0, 0}, {2024, 3, 1, 11, 0, 0}, "2024-02-29T23:00:00-12:00"},
        {{2026, 3, 1, 13, 45, 0}, {2026, 2, 28, 23, 0, 0}, "2026-03-01T13:45:00+14:45"},
        {{2026, 6, 15, 8, 0, 59}, {2026, 6, 15, 8, 0, 59}, "2026-06-15T08:00:59+00:00"},
    };
    for (const auto& c : cases) {
        char text[40];
        FormatIsoTime(text, sizeof text, c.local, UtcOffsetMinutes(c.local, c.utc));
        EXPECT_STREQ(text, c.iso);
    }
}

TEST(SavedFiles, SuggestedNameIsTheHostPartAndTheStartAsAFileNameHoldsThem) {
    const CalendarTime started = {2026, 12, 9, 14, 2, 11};
    const struct {
        const char* host;
        const char* name;
    } cases[] = {
        {"dest.routelark.test", "routelark-dest.routelark.test-20261209-140211"},
        {"https://www.example.com/a/b", "routelark-www.example.com-20261209-140211"},
        {"a:b*c?d|e\"f<g>\th", "routelark-a_b_c_d_e_f_g__h-20261209-140211"},
    };
    for (const auto& c : cases) {
        char name[256];
        EXPECT_STREQ(SuggestSaveName(name, sizeof name, c.host, started), c.name);
    }
}

} // namespace

namespace {

// The lead bytes of code page 932 (Japanese).
bool LeadByteOf932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The folder kept for the next Save is cut at a separator, never inside a character whose second
// byte is 0x5C: "\x95\x5C" is 表, "\x83\x5C" is ソ.
TEST(SavedFiles, FolderOfAPathEndsAtASeparatorNotInsideACharacter) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\\x95\x5C\\trace.txt", "C:\\\x95\x5C"},
        {"C:\\\x95\x5C", "C:\\"},
        {"D:\\a\\\x83\x5C\x83\x5C.csv", "D:\\a"},
        {"trace.txt", ""},
    };
    for (const auto& c : cases) {
        char folder[64];
        EXPECT_TRUE(SaveFolderOfPath(c.path, folder, sizeof folder, LeadByteOf932)) << c.path;
        EXPECT_STREQ(folder, c.folder) << c.path;
    }
}

TEST(SavedFiles, JsonHasEveryHopWithNumbersNullsAndEscapedNames) {
    SavedTrace trace = Trace(kBuiltInColumns);
    trace.Count = 12;
    std::string file;
    LayOutJsonFile(trace, file);
    EXPECT_EQ(file,
              "{\r\n"
              "  \"format\": 1,\r\n"
              "  \"program\": \"Routelark\",\r\n"
              "  \"version\": \"1.0.0\",\r\n"
              "  \"target\": {\"host\": \"dest.routelark.test\", \"address\": \"198.18.7.1\"},\r\n"
              "  \"started\": \"2026-12-09T14:02:11+01:00\",\r\n"
              "  \"saved\": \"2026-12-09T14:05:00+01:00\",\r\n"
              "  \"count\": 12,\r\n"
              "  \"hops\": [\r\n"
              "    {\"hop\": 1, \"address\": \"198.18.1.1\", \"name\": \"r1.routelark.test\", "
              "\"sent\": 12, \"received\": 11, \"loss_percent\": 9, \"last_ms\": 20, "
              "\"avg_ms\": 22, \"min_ms\": 18, \"max_ms\": 31, \"jitter_ms\": 1.5, "
              "\"stdev_ms\": 2.0, \"ignored\": false, \"silent\": false, "
              "\"asn\": 64512, \"as_name\": \"LAB-EDGE, ZZ\", \"prefix\": \"198.18.0.0/15\", "
              "\"cc\": \"ZZ\"},\r\n"
              "    {\"hop\": 2, \"address\": null, \"name\": \"[No response]\", \"sent\": null, "
              "\"received\": null, \"loss_percent\": null, \"last_ms\": null, \"avg_ms\": null, "
              "\"min_ms\": null, \"max_ms\": null, \"jitter_ms\": null, \"stdev_ms\": null, "
              "\"ignored\": false, \"silent\": true, "
              "\"asn\": null, \"as_name\": null, \"prefix\": null, \"cc\": null},\r\n"
              "    {\"hop\": 3, \"address\": \"198.18.3.1\", \"name\": \"a,\\\"b\\\"\\r\\n<i>\", "
              "\"sent\": 4, \"received\": 1, \"loss_percent\": 75, \"last_ms\": 5, "
              "\"avg_ms\": 5, \"min_ms\": 5, \"max_ms\": 5, \"jitter_ms\": null, "
              "\"stdev_ms\": null, \"ignored\": true, \"silent\": false, "
              "\"asn\": null, \"as_name\": null, \"prefix\": null, \"cc\": null}\r\n"
              "  ]\r\n"
              "}\r\n");
    trace.HopCount = 0; // Save As of a trace still resolving: no count, no hops
    trace.Count = 0;
    LayOutJsonFile(trace, file);
    EXPECT_NE(file.find("\"count\": null,\r\n  \"hops\": []\r\n}\r\n"), std::string::npos);
}

TEST(SavedFiles, JsonStringsEscapeQuotesBackslashesAndControlsAndReplaceBadBytes) {
    const struct {
        const char* text;
        const char* json;
    } cases[] = {
        {"", "\"\""},
        {"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
        {"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
        {"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""}, // DEL needs no escape in JSON
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
        {"caf\xE9!", "\"caf\\ufffd!\""},          // a code page's byte that is no UTF-8
        {"\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""}, // a surrogate, each byte alone
    };
    for (const auto& c : cases) {
        std::string out;
        AppendJsonString(out, c.text);
        EXPECT_EQ(out, c.json) << c.text;
    }
}

} // namespace

namespace {

// The log of a trace: a loss episode at hop 3 that lasted 14 s, the destination silent and still
// so, and a route change at hop 4 with a name that needs quoting.
SavedEvents SomeEvents() {
    SavedEvents events;
    events.SinceStart = 1003;
    events.Dropped = 1000;
    events.List.resize(3);
    SavedEvent& loss = events.List[0];
    loss.Event.Kind = TraceEventKind::LossEpisode;
    loss.Event.Sent = 12, loss.Event.Lost = 7, loss.Event.WorstRtt = 35;
    loss.Event.StartSecond = 61, loss.Event.EndSecond = 74;
    loss.Hop = 3;
    strcpy(loss.Time, "2026-12-09T14:03:12+01:00");
    loss.Text = "Loss: 7 of 12 echoes lost, worst 35 ms";
    strcpy(loss.Duration, "14 s");
    loss.Seconds = 14;
    SavedEvent& silent = events.List[1];
    silent.Event.Kind = TraceEventKind::DestinationSilent;
    silent.Event.Open = 1;
    silent.Event.StartSecond = silent.Event.EndSecond = 90;
    silent.Hop = 7;
    strcpy(silent.Time, "2026-12-09T14:03:41+01:00");
    silent.Text = "The destination stopped answering";
    strcpy(silent.Duration, "5 s, open");
    silent.Seconds = 5;
    SavedEvent& route = events.List[2];
    route.Event.Kind = TraceEventKind::RouteChange;
    route.Event.StartSecond = route.Event.EndSecond = 92;
    route.Event.OldAddress = 0x010412C6, route.Event.NewAddress = 0x010812C6;
    route.Hop = 4;
    strcpy(route.Time, "2026-12-09T14:03:43+01:00");
    route.Text = "Route changed: 198.18.4.1 -> 198.18.8.1 (r7, \"new\")";
    route.NewName = "r7, \"new\"";
    route.Duration[0] = '\0';
    route.Seconds = 0;
    return events;
}

TEST(SavedFiles, TextFileListsTheEventsBeforeTheTableAndEndsWithTheReport) {
    SavedTrace trace = Trace(kBuiltInColumns);
    const std::string report = "Hop  IP Address\r\n1    198.18.1.1\r\n";
    std::string without, none, file;
    LayOutTextFile(trace, report, without);
    SavedEvents empty;
    trace.Events = &empty;
    LayOutTextFile(trace, report, none);
    EXPECT_EQ(none, without) << "no events recorded: the file as it always was";
    SavedEvents events = SomeEvents();
    trace.Events = &events;
    LayOutTextFile(trace, report, file);
    const std::string header = without.substr(0, without.size() - report.size());
    EXPECT_EQ(file, header +
                        "Events (1,003; 1,000 oldest dropped):\r\n"
                        "2026-12-09T14:03:12+01:00  Hop 3  Loss: 7 of 12 echoes lost, worst 35 "
                        "ms  [14 s]\r\n"
                        "2026-12-09T14:03:41+01:00  Hop 7  The destination stopped answering  "
                        "[5 s, open]\r\n"
                        "2026-12-09T14:03:43+01:00  Hop 4  Route changed: 198.18.4.1 -> "
                        "198.18.8.1 (r7, \"new\")\r\n"
                        "\r\n" +
                        report);
}

TEST(SavedFiles, JsonAndWebPageAddTheEventsAndCsvStaysOneRowPerHop) {
    SavedTrace trace = Trace(kBuiltInColumns);
    std::string json, html, csv, plainJson, plainHtml, plainCsv;
    LayOutJsonFile(trace, plainJson);
    LayOutHtmlFile(trace, plainHtml);
    LayOutCsvFile(trace, plainCsv);
    SavedEvents events = SomeEvents();
    trace.Events = &events;
    LayOutJsonFile(trace, json);
    LayOutHtmlFile(trace, html);
    LayOutCsvFile(trace, csv);
    EXPECT_EQ(csv, plainCsv);
    // JSON: keys only added, after the hops.
    const std::string hopsEnd = "\r\n  ]";
    ASSERT_EQ(plainJson.compare(plainJson.size() - 10, 10, hopsEnd + "\r\n}\r\n"), 0);
    EXPECT_EQ(json,
              plainJson.substr(0, plainJson.size() - 5) +
                  ",\r\n  \"events_since_start\": 1003,\r\n  \"events_dropped\": 1000,\r\n"
                  "  \"events\": [\r\n"
                  "    {\"time\": \"2026-12-09T14:03:12+01:00\", \"second\": 61, \"hop\": 3, "
                  "\"kind\": \"loss\", \"text\": \"Loss: 7 of 12 echoes lost, worst 35 ms\", "
                  "\"seconds\": 14, \"open\": false, \"sent\": 12, \"lost\": 7, \"worst_ms\": 35, "
                  "\"not_passed_on\": false, \"old_address\": null, \"old_name\": null, "
                  "\"new_address\": null, \"new_name\": null},\r\n"
                  "    {\"time\": \"2026-12-09T14:03:41+01:00\", \"second\": 90, \"hop\": 7, "
                  "\"kind\": \"destination_silent\", \"text\": \"The destination stopped "
                  "answering\", \"seconds\": 5, \"open\": true, \"sent\": null, \"lost\": null, "
                  "\"worst_ms\": null, \"not_passed_on\": false, \"old_address\": null, "
                  "\"old_name\": null, \"new_address\": null, \"new_name\": null},\r\n"
                  "    {\"time\": \"2026-12-09T14:03:43+01:00\", \"second\": 92, \"hop\": 4, "
                  "\"kind\": \"route_change\", \"text\": \"Route changed: 198.18.4.1 -> "
                  "198.18.8.1 (r7, \\\"new\\\")\", \"seconds\": null, \"open\": false, "
                  "\"sent\": null, \"lost\": null, \"worst_ms\": null, \"not_passed_on\": false, "
                  "\"old_address\": \"198.18.4.1\", \"old_name\": null, "
                  "\"new_address\": \"198.18.8.1\", \"new_name\": \"r7, \\\"new\\\"\"}\r\n"
                  "  ]\r\n}\r\n");
    // The web page: its events as a table of their own after the hops, escaped.
    const std::string tail = "</body>\r\n</html>\r\n";
    EXPECT_EQ(html.substr(0, plainHtml.size() - tail.size()),
              plainHtml.substr(0, plainHtml.size() - tail.size()));
    EXPECT_NE(html.find("<h2>Events (1,003; 1,000 oldest dropped)</h2>\r\n"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>2026-12-09T14:03:43+01:00</td><td class=\"number\">4</td>"
                        "<td>Route changed: 198.18.4.1 -&gt; 198.18.8.1 (r7, &quot;new&quot;)"
                        "</td><td class=\"number\"></td></tr>\r\n"),
              std::string::npos)
        << html;
}

TEST(SavedFiles, EventsCsvHasOneRowPerEvent) {
    std::string csv;
    LayOutEventsCsv(SomeEvents(), csv);
    EXPECT_EQ(csv, "Time,Hop,Kind,Event,Seconds,Open\r\n"
                   "2026-12-09T14:03:12+01:00,3,loss,\"Loss: 7 of 12 echoes lost, worst 35 ms\","
                   "14,0\r\n"
                   "2026-12-09T14:03:41+01:00,7,destination_silent,The destination stopped "
                   "answering,5,1\r\n"
                   "2026-12-09T14:03:43+01:00,4,route_change,\"Route changed: 198.18.4.1 -> "
                   "198.18.8.1 (r7, \"\"new\"\")\",,0\r\n");
    SavedEvents none;
    LayOutEventsCsv(none, csv);
    EXPECT_EQ(csv, "Time,Hop,Kind,Event,Seconds,Open\r\n");
}

} // namespace
