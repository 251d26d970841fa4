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

// Appends UTF-8 text as one JSON string (RFC 8259) with its quotes: " and \ escaped, control
// characters as \u00XX (\b \f \n \r \t as such), and every byte that is not part of a valid
// UTF-8 character as \ufffd, so that the result is always valid JSON in valid UTF-8.
void AppendJsonString(std::string& out, const char* text);
