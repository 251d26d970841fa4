// The texts of cells in the saved files: CSV fields and HTML text (platform-free).
#pragma once
#include <string>

// Appends text as one CSV field (RFC 4180): as it is, or in double quotes with each quote
// doubled when it holds a comma, a quote, CR or LF.
void AppendCsvField(std::string& out, const char* text);

// Appends UTF-8 text as HTML text that is safe in an element and in a quoted attribute:
// & < > " ' become entities, and every byte that is not part of a valid UTF-8 character, and
// every control character, becomes U+FFFD, so that the result is always valid UTF-8.
void AppendHtmlText(std::string& out, const char* text);
