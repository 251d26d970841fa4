// The text file: a header naming the program, the target and the times, then the copied report.
#include "save/saved_files.h"
#include "trace/format_address.h"

void LayOutTextFile(const SavedTrace& trace, const std::string& report, std::string& file) {
    file = "Routelark ";
    file += trace.Version;
    file += "\r\nTarget: ";
    file += trace.Host;
    file += " (";
    file += FormatAddress(trace.Address);
    file += ")\r\nStarted: ";
    file += trace.Started;
    file += "  Saved: ";
    file += trace.Saved;
    file += "\r\n\r\n";
    AppendTextEvents(trace, file);
    file += report;
}
