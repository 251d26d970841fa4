// The JSON file: the trace's facts and one object per hop, every figure a number or null, so
// that a program reads it without guessing. Each hop's keys come from one table: a later key is
// one more row.
#include "common/bounded_text.h"
#include "hoptable/loss_rule.h"
#include "save/file_text.h"
#include "save/saved_files.h"
#include "trace/format_address.h"

// Appends the value of one key of hop.
typedef void (*JsonValue)(const SavedHop& hop, std::string& out);
struct JsonHopKey {
    const char* key;
    JsonValue value;
};

static void AppendNumber(std::string& out, long long number) {
    char text[24];
    out += FormatText(text, sizeof text, "%lld", number);
}

// A count, or null for a hop that never answered (its row shows "---").
static void AppendCount(const SavedHop& hop, int count, std::string& out) {
    if (hop.Numbers.NoResponse)
        out += "null";
    else
        AppendNumber(out, count);
}

// A round-trip time in ms, or null before the hop's first answer.
static void AppendMilliseconds(const SavedHop& hop, uint32_t rtt, std::string& out) {
    if (hop.Numbers.NoResponse || hop.Numbers.Received <= 0)
        out += "null";
    else
        AppendNumber(out, rtt);
}

// A spread of the last ten minutes in ms, to a tenth, or null where there are too few answers.
static void AppendSpread(double spread, bool known, std::string& out) {
    char text[32];
    out += known ? FormatText(text, sizeof text, "%.1f", spread) : "null";
}

// A string, or null for none or an empty one.
static void AppendTextOrNull(const char* text, std::string& out) {
    if (text && *text)
        AppendJsonString(out, text);
    else
        out += "null";
}

static const JsonHopKey kJsonHopKeys[] = {
    {"hop",
     [](const SavedHop& h, std::string& out) {
         AppendNumber(out, h.Numbers.Row + (h.Numbers.IgnoreFirst & 1) + 1);
     }},
    {"address",
     [](const SavedHop& h, std::string& out) {
         if (h.Numbers.NoResponse)
             out += "null";
         else
             AppendJsonString(out, FormatAddress(h.Numbers.Address));
     }},
    {"name", [](const SavedHop& h, std::string& out) { AppendJsonString(out, h.Numbers.HostText); }},
    {"sent", [](const SavedHop& h, std::string& out) { AppendCount(h, h.Numbers.Sent, out); }},
    {"received",
     [](const SavedHop& h, std::string& out) { AppendCount(h, h.Numbers.Received, out); }},
    {"loss_percent",
     [](const SavedHop& h, std::string& out) {
         AppendCount(h, LossPercent(h.Numbers.Sent, h.Numbers.Received), out);
     }},
    {"last_ms",
     [](const SavedHop& h, std::string& out) { AppendMilliseconds(h, h.Numbers.LastRtt, out); }},
    {"avg_ms",
     [](const SavedHop& h, std::string& out) { AppendMilliseconds(h, h.Numbers.AverageRtt, out); }},
    {"min_ms",
     [](const SavedHop& h, std::string& out) { AppendMilliseconds(h, h.Numbers.MinRtt, out); }},
    {"max_ms",
     [](const SavedHop& h, std::string& out) { AppendMilliseconds(h, h.Numbers.MaxRtt, out); }},
    {"jitter_ms",
     [](const SavedHop& h, std::string& out) {
         AppendSpread(SpanJitter(h.Recent), h.Recent.differences > 0, out);
     }},
    {"stdev_ms",
     [](const SavedHop& h, std::string& out) {
         AppendSpread(SpanStdDev(h.Recent), h.Recent.answered > 0, out);
     }},
    // A hop that never answered is silent; ignored is left to the hops the user set aside.
    {"ignored",
     [](const SavedHop& h, std::string& out) {
         out += h.Ignored && !h.Numbers.NoResponse ? "true" : "false";
     }},
    {"silent",
     [](const SavedHop& h, std::string& out) { out += h.Numbers.NoResponse ? "true" : "false"; }},
    // The network that announces the hop's address, as the AS lookups found it (the first
    // origin where there are several); null where nothing is known, the lookups off included.
    {"asn",
     [](const SavedHop& h, std::string& out) {
         if (h.Origin)
             AppendNumber(out, h.Origin->Asn);
         else
             out += "null";
     }},
    {"as_name",
     [](const SavedHop& h, std::string& out) {
         AppendTextOrNull(h.Origin && h.Network ? h.Network->Name : nullptr, out);
     }},
    {"prefix",
     [](const SavedHop& h, std::string& out) {
         AppendTextOrNull(h.Origin ? h.Origin->Prefix : nullptr, out);
     }},
    {"cc",
     [](const SavedHop& h, std::string& out) {
         AppendTextOrNull(h.Origin ? h.Origin->Country : nullptr, out);
     }},
};

static void AppendHop(const SavedHop& hop, std::string& file) {
    file += "    {";
    for (const JsonHopKey& key : kJsonHopKeys) {
        if (&key != kJsonHopKeys)
            file += ", ";
        AppendJsonString(file, key.key);
        file += ": ";
        key.value(hop, file);
    }
    file += '}';
}

static void AppendMember(std::string& file, const char* key, const char* text) {
    file += "  ";
    AppendJsonString(file, key);
    file += ": ";
    AppendJsonString(file, text);
    file += ",\r\n";
}

void LayOutJsonFile(const SavedTrace& trace, std::string& file) {
    file = "{\r\n  \"format\": 1,\r\n";
    AppendMember(file, "program", "Routelark");
    AppendMember(file, "version", trace.Version);
    file += "  \"target\": {\"host\": ";
    AppendJsonString(file, trace.Host);
    file += ", \"address\": ";
    AppendJsonString(file, FormatAddress(trace.Address));
    file += "},\r\n";
    AppendMember(file, "started", trace.Started);
    AppendMember(file, "saved", trace.Saved);
    file += "  \"count\": ";
    if (trace.Count > 0)
        AppendNumber(file, trace.Count);
    else
        file += "null";
    file += ",\r\n  \"hops\": [";
    bool first = true;
    for (int r = 0; r < trace.HopCount; r++) {
        SavedHop hop;
        if (!trace.ReadHop(r, hop))
            continue;
        file += first ? "\r\n" : ",\r\n";
        first = false;
        AppendHop(hop, file);
    }
    file += first ? "]" : "\r\n  ]";
    AppendJsonEvents(trace, file);
    file += "\r\n}\r\n";
}
