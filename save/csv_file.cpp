// The CSV file: one row per hop with every column, the numbers without units, and the target
// and start on each row, so that the files of many traces can be joined into one sheet. Jitter
// and standard deviation come from the hop's history of the last ten minutes.
#include "common/bounded_text.h"
#include "hoptable/loss_rule.h"
#include "save/file_text.h"
#include "save/saved_files.h"
#include "trace/format_address.h"

// The text of one field of hop, nullptr for an empty one; numbers go into text.
typedef const char* (*CsvFieldText)(const SavedTrace& trace, const SavedHop& hop, char* text,
                                    size_t size);
struct CsvColumn {
    const char* title;
    CsvFieldText field;
};

// A count of an answering hop; a placeholder hop's is empty, as the table shows "---".
static const char* Count(const SavedHop& hop, int count, char* text, size_t size) {
    return hop.Numbers.NoResponse ? nullptr : FormatText(text, size, "%d", count);
}

// A round-trip time: empty also before the hop's first answer, when there is none to show.
static const char* Milliseconds(const SavedHop& hop, uint32_t rtt, char* text, size_t size) {
    if (hop.Numbers.NoResponse || hop.Numbers.Received <= 0)
        return nullptr;
    return FormatText(text, size, "%d", static_cast<int>(rtt));
}

// A spread of the last ten minutes in ms, to a tenth; empty where there are too few answers.
static const char* Spread(double spread, bool known, char* text, size_t size) {
    return known ? FormatText(text, size, "%.1f", spread) : nullptr;
}

static const CsvColumn kCsvColumns[] = {
    {"Target", [](const SavedTrace& t, const SavedHop&, char*, size_t) { return t.Host; }},
    {"Address",
     [](const SavedTrace& t, const SavedHop&, char*, size_t) { return FormatAddress(t.Address); }},
    {"Started", [](const SavedTrace& t, const SavedHop&, char*, size_t) { return t.Started; }},
    {"Hop", [](const SavedTrace&, const SavedHop& h, char* text,
               size_t size) { return FormatHopCell(kColumnHop, h.Numbers, text, size); }},
    {"IP Address",
     [](const SavedTrace&, const SavedHop& h, char*, size_t) {
         return h.Numbers.NoResponse ? nullptr : FormatAddress(h.Numbers.Address);
     }},
    {"Host Name",
     [](const SavedTrace&, const SavedHop& h, char*, size_t) { return h.Numbers.HostText; }},
    {"Sent", [](const SavedTrace&, const SavedHop& h, char* text,
                size_t size) { return Count(h, h.Numbers.Sent, text, size); }},
    {"Recv", [](const SavedTrace&, const SavedHop& h, char* text,
                size_t size) { return Count(h, h.Numbers.Received, text, size); }},
    {"Last RTT ms", [](const SavedTrace&, const SavedHop& h, char* text,
                       size_t size) { return Milliseconds(h, h.Numbers.LastRtt, text, size); }},
    {"Avg RTT ms", [](const SavedTrace&, const SavedHop& h, char* text,
                      size_t size) { return Milliseconds(h, h.Numbers.AverageRtt, text, size); }},
    {"Min RTT ms", [](const SavedTrace&, const SavedHop& h, char* text,
                      size_t size) { return Milliseconds(h, h.Numbers.MinRtt, text, size); }},
    {"Max RTT ms", [](const SavedTrace&, const SavedHop& h, char* text,
                      size_t size) { return Milliseconds(h, h.Numbers.MaxRtt, text, size); }},
    {"Loss %",
     [](const SavedTrace&, const SavedHop& h, char* text, size_t size) {
         return Count(h, LossPercent(h.Numbers.Sent, h.Numbers.Received), text, size);
     }},
    {"Ignored",
     [](const SavedTrace&, const SavedHop& h, char*, size_t) { return h.Ignored ? "1" : "0"; }},
    {"Jitter ms",
     [](const SavedTrace&, const SavedHop& h, char* text, size_t size) {
         return Spread(SpanJitter(h.Recent), h.Recent.differences > 0, text, size);
     }},
    {"StDev ms",
     [](const SavedTrace&, const SavedHop& h, char* text, size_t size) {
         return Spread(SpanStdDev(h.Recent), h.Recent.answered > 0, text, size);
     }},
    {"ASN",
     [](const SavedTrace&, const SavedHop& h, char* text, size_t size) -> const char* {
         return h.Origin ? FormatText(text, size, "%u", static_cast<unsigned>(h.Origin->Asn))
                         : nullptr;
     }},
    {"AS Name",
     [](const SavedTrace&, const SavedHop& h, char*, size_t) -> const char* {
         return h.Origin && h.Network ? h.Network->Name : nullptr;
     }},
    {"Prefix",
     [](const SavedTrace&, const SavedHop& h, char*, size_t) -> const char* {
         return h.Origin ? h.Origin->Prefix : nullptr;
     }},
    {"CC",
     [](const SavedTrace&, const SavedHop& h, char*, size_t) -> const char* {
         return h.Origin ? h.Origin->Country : nullptr;
     }},
};

void LayOutCsvFile(const SavedTrace& trace, std::string& file) {
    file.clear();
    for (const CsvColumn& column : kCsvColumns) {
        if (&column != kCsvColumns)
            file += ',';
        AppendCsvField(file, column.title);
    }
    file += "\r\n";
    for (int r = 0; r < trace.HopCount; r++) {
        SavedHop hop;
        if (!trace.ReadHop(r, hop))
            continue;
        for (const CsvColumn& column : kCsvColumns) {
            if (&column != kCsvColumns)
                file += ',';
            char text[32];
            const char* field = column.field(trace, hop, text, sizeof text);
            AppendCsvField(file, field ? field : "");
        }
        file += "\r\n";
    }
}
