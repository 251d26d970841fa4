// The trace report on the clipboard: the Copy command's action.
#pragma once
#include <string>

// The report of the hops found so far, as text or, with CopyHTML, wrapped in HTML.
void BuildTraceReport(std::string& report);
// Puts the report on the clipboard as CF_TEXT. When the clipboard cannot be opened or the
// memory cannot be had, the clipboard keeps what it held and nothing leaks.
void CopyTraceReport();
