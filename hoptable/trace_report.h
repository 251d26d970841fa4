// The trace report on the clipboard: the Copy command's action.
#pragma once
#include <string>

// The report of the hops found so far, as text or, with CopyHTML, wrapped in HTML.
void BuildTraceReport(std::string& report);
// The same as Copy makes it with CopyHTML set to html (0 or 1), whatever the setting is.
void BuildTraceReport(std::string& report, int html);
// Puts the report on the clipboard as CF_TEXT. When the clipboard cannot be opened or the
// memory cannot be had, the clipboard keeps what it held and nothing leaks.
void CopyTraceReport();
// Puts text on the clipboard as CF_TEXT, in the same way; false when it could not.
bool PutTextOnClipboard(const std::string& text);
