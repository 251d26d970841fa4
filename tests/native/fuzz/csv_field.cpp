// CSV fields from any bytes: a record of them reads back field for field with an RFC 4180
// reader, and a field is quoted exactly when it holds a comma, a quote, CR or LF.
#include "fuzz_check.h"
#include "save/file_text.h"
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// An RFC 4180 reader of one record without its line end.
static std::vector<std::string> ReadRecord(const std::string& record) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < record.size(); i++) {
        char c = record[i];
        if (quoted) {
            if (c == '"' && i + 1 < record.size() && record[i + 1] == '"')
                fields.back() += record[++i];
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            FUZZ_CHECK(fields.back().empty()); // a quote opens a field or nothing
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            FUZZ_CHECK(c != '\r' && c != '\n'); // line breaks only inside quotes
            fields.back() += c;
        }
    }
    FUZZ_CHECK(!quoted);
    return fields;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 300) // longer than any name DNS gives; it only slows the run
        return 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> fields; // NUL-separated texts
    for (size_t at = 0; at <= input.size();) {
        size_t end = input.find('\0', at);
        if (end == std::string::npos)
            end = input.size();
        fields.push_back(input.substr(at, end - at));
        at = end + 1;
    }
    std::string record;
    for (const std::string& field : fields) {
        if (!record.empty() || &field != &fields[0])
            record += ',';
        size_t start = record.size();
        AppendCsvField(record, field.c_str());
        bool needsQuotes = field.find_first_of(",\"\r\n") != std::string::npos;
        FUZZ_CHECK(needsQuotes == (record.size() > start && record[start] == '"'));
    }
    FUZZ_CHECK(ReadRecord(record) == fields);
    return 0;
}
