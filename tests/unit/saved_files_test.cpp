// The saved files' rules: their three layouts, CSV quoting, HTML escaping, the ISO times, and
// the names that Save As suggests, reads and completes.
#include "save/calendar_time.h"
#include "save/file_text.h"
#include "save/save_name.h"
#include "save/saved_files.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// An address in network byte order from its four numbers.
uint32_t Address(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    const unsigned char bytes[4] = {a, b, c, d};
    uint32_t address;
    memcpy(&address, bytes, sizeof address);
    return address;
}

// An answering hop, a placeholder, and an ignored hop whose reverse name is hostile: a comma,
// quotes, markup, CR LF and a character above 127 (in UTF-8).
const char kHostileName[] = "a,\"b\"<script>&\r\n\xC3\xA9";
SavedHop Hops[3];

bool ReadHop(int row, SavedHop& hop) {
    if (row < 0 || row >= 3)
        return false;
    hop = Hops[row];
    return true;
}

class SavedFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        Hops[0] = {{0, 0, 0, Address(198, 18, 1, 1), "r1.routelark.test", 12, 11, 20, 22, 18, 31},
                   0};
        Hops[1] = {{1, 0, 1, 0, "[No response]", 0, 0, 0, 0, 0xFFFFFFFF, 0}, 1};
        Hops[2] = {{2, 0, 0, Address(198, 18, 3, 1), kHostileName, 4, 1, 5, 5, 5, 5}, 1};
        for (int n = 0; n < kColumnTotal; n++)
            columns[n] = kBuiltInColumns[n];
    }
    SavedTrace Trace() {
        return {"1.0.0",
                "dest.routelark.test",
                Address(198, 18, 7, 1),
                "2026-12-09T14:02:11+01:00",
                "2026-12-09T14:05:00+01:00",
                columns,
                kColumnTotal,
                3,
                ReadHop};
    }
    ColumnDef columns[kColumnTotal];
};

TEST_F(SavedFiles, TextFileIsThreeHeaderLinesAnEmptyLineAndTheReport) {
    std::string file;
    LayOutTextFile(Trace(), "Hop  IP Address\r\n\r\n1    198.18.1.1\r\n", file);
    EXPECT_EQ(file, "Routelark 1.0.0\r\n"
                    "Target: dest.routelark.test (198.18.7.1)\r\n"
                    "Started: 2026-12-09T14:02:11+01:00  Saved: 2026-12-09T14:05:00+01:00\r\n"
                    "\r\n"
                    "Hop  IP Address\r\n\r\n1    198.18.1.1\r\n");
}

TEST_F(SavedFiles, CsvHasEveryColumnNumbersWithoutUnitsAndQuotesWhatNeedsIt) {
    columns[kColumnHostName].Visible = 0; // hidden columns are saved all the same
    std::string file;
    LayOutCsvFile(Trace(), file);
    const std::string start = "dest.routelark.test,198.18.7.1,2026-12-09T14:02:11+01:00,";
    EXPECT_EQ(file, "Target,Address,Started,Hop,IP Address,Host Name,Sent,Recv,Last RTT ms,"
                    "Avg RTT ms,Min RTT ms,Max RTT ms,Loss %,Ignored\r\n" +
                        start + "1,198.18.1.1,r1.routelark.test,12,11,20,22,18,31,9,0\r\n" + start +
                        "2,,[No response],,,,,,,,1\r\n" + start +
                        "3,198.18.3.1,\"a,\"\"b\"\"<script>&\r\n\xC3\xA9\",4,1,5,5,5,5,75,1\r\n");
}

TEST_F(SavedFiles, HtmlIsAWholeDocumentWithTheVisibleColumnsAndEscapedCells) {
    columns[kColumnMinRtt].Visible = 0;
    std::string file;
    LayOutHtmlFile(Trace(), file);
    EXPECT_EQ(
        file.rfind("<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n<meta charset=\"utf-8\">"
                   "\r\n<title>Routelark: dest.routelark.test (198.18.7.1), "
                   "2026-12-09T14:02:11+01:00</title>\r\n",
                   0),
        0u);
    EXPECT_NE(file.find("<h1>Trace of dest.routelark.test (198.18.7.1), started "
                        "2026-12-09T14:02:11+01:00</h1>"),
              std::string::npos);
    for (const char* fact : {"<dd>Routelark 1.0.0</dd>", "<dd>2026-12-09T14:05:00+01:00</dd>"})
        EXPECT_NE(file.find(fact), std::string::npos) << fact;
    EXPECT_NE(file.find("<tr><th>Hop</th><th>IP Address</th><th>Host Name</th>"
                        "<th class=\"number\">Sent</th><th class=\"number\">Recv</th>"
                        "<th class=\"number\">RTT</th><th class=\"number\">Av RTT</th>"
                        "<th class=\"number\">Max RTT</th><th class=\"number\">% Loss</th></tr>"),
              std::string::npos);
    EXPECT_NE(file.find("<tr><td>1</td><td>198.18.1.1</td><td>r1.routelark.test</td>"
                        "<td class=\"number\">12</td><td class=\"number\">11</td>"
                        "<td class=\"number\">20ms</td><td class=\"number\">22ms</td>"
                        "<td class=\"number\">31ms</td><td class=\"number\">9%</td></tr>"),
              std::string::npos);
    EXPECT_NE(file.find("<tr class=\"ignored\"><td>3</td><td>198.18.3.1</td><td>a,&quot;b&quot;"
                        "&lt;script&gt;&amp;\xEF\xBF\xBD\xEF\xBF\xBD\xC3\xA9</td>"),
              std::string::npos);
    EXPECT_EQ(file.find("<script"), std::string::npos);
    EXPECT_NE(file.find("ignored hops"), std::string::npos) << "the mark is explained";
    EXPECT_EQ(file.substr(file.size() - 18), "</body>\r\n</html>\r\n");
}

TEST(FileText, CsvFieldsAreQuotedOnlyWhenTheyMustBe) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"r1.routelark.test", "r1.routelark.test"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\nonly", "\"lf\nonly\""},
        {"<tag> & 'x'", "<tag> & 'x'"},
    };
    for (const auto& c : cases) {
        std::string out;
        AppendCsvField(out, c.text);
        EXPECT_EQ(out, c.field) << c.text;
    }
}

TEST(FileText, HtmlTextEscapesMarkupAndKeepsOnlyValidUtf8) {
    const struct {
        const char* text;
        const char* html;
    } cases[] = {
        {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
        {"a&b \"c\"", "a&amp;b &quot;c&quot;"},
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"}, // UTF-8 stays
        {"caf\xE9", "caf\xEF\xBF\xBD"},                           // a Latin-1 byte is not UTF-8
        {"\xC0\xAF \xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cr\rlf\n\x7F\xC2\x85", "cr\xEF\xBF\xBDlf\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"}, // cut short by the end
    };
    for (const auto& c : cases) {
        std::string out;
        AppendHtmlText(out, c.text);
        EXPECT_EQ(out, c.html) << c.text;
    }
}

TEST(CalendarTime, IsoTimeCarriesTheOffsetOfItsMoment) {
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

TEST(SaveName, SuggestedNameIsTheHostAndTheStart) {
    const CalendarTime started = {2026, 12, 9, 14, 2, 11};
    const struct {
        const char* host;
        const char* name;
    } cases[] = {
        {"dest.routelark.test", "routelark-dest.routelark.test-20261209-140211"},
        {"https://www.example.com/a/b", "routelark-www.example.com-20261209-140211"},
        {"198.18.7.1", "routelark-198.18.7.1-20261209-140211"},
        {"a:b*c?d|e\"f<g>\th", "routelark-a_b_c_d_e_f_g__h-20261209-140211"},
    };
    for (const auto& c : cases) {
        char name[256];
        EXPECT_STREQ(SuggestSaveName(name, sizeof name, c.host, started), c.name);
    }
}

TEST(SaveName, FormatFollowsTheExtensionElseTheChosenType) {
    const struct {
        const char* path;
        bool known;
        SaveFormat format;
    } cases[] = {
        {"C:\\t\\trace.txt", true, SaveFormat::Text},
        {"C:\\t\\trace.HTM", true, SaveFormat::Html},
        {"trace.old.html", true, SaveFormat::Html},
        {"C:\\t\\Trace.Csv", true, SaveFormat::Csv},
        {"C:\\t\\trace.log", false, {}},
        {"C:\\t.csv\\trace", false, {}},
        {"C:\\t\\trace", false, {}},
        {"C:\\t\\trace.csv.bak", false, {}},
    };
    for (const auto& c : cases) {
        SaveFormat format = SaveFormat::Text;
        EXPECT_EQ(SaveFormatOfName(c.path, &format), c.known) << c.path;
        if (c.known) {
            EXPECT_EQ(format, c.format) << c.path;
        }
    }
    EXPECT_EQ(SaveFormatOfType(1), SaveFormat::Text);
    EXPECT_EQ(SaveFormatOfType(2), SaveFormat::Html);
    EXPECT_EQ(SaveFormatOfType(3), SaveFormat::Csv);
    EXPECT_EQ(SaveFormatOfType(0), SaveFormat::Text);
}

TEST(SaveName, AnExtensionIsAddedOnlyWhereItFitsWhole) {
    char path[17] = "C:\\trace.log";
    EXPECT_TRUE(AddSaveExtension(path, sizeof path, SaveFormat::Csv)); // 16 and the terminator
    EXPECT_STREQ(path, "C:\\trace.log.csv");
    char full[17] = "C:\\trace.logs";
    EXPECT_FALSE(AddSaveExtension(full, sizeof full, SaveFormat::Text));
    EXPECT_STREQ(full, "C:\\trace.logs") << "a name is never cut";
}

TEST(SaveName, FolderIsThePathWithoutItsName) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\traces\\a.txt", "C:\\traces"},
        {"C:\\a.txt", "C:\\"},
        {"Z:/tmp/x/a.csv", "Z:/tmp/x"},
        {"\\\\host\\share\\a.txt", "\\\\host\\share"},
        {"a.txt", ""},
    };
    for (const auto& c : cases) {
        char folder[64];
        EXPECT_TRUE(SaveFolderOfPath(c.path, folder, sizeof folder));
        EXPECT_STREQ(folder, c.folder) << c.path;
    }
    char small[6];
    EXPECT_FALSE(SaveFolderOfPath("C:\\traces\\a.txt", small, sizeof small));
    EXPECT_STREQ(small, "");
}

} // namespace
