// The WhoIs client's text rules, free of the platform: the domain a server knows, the
// answer's line ends, and which server names are worth a lookup.
#pragma once
#include <cstddef>

// Cuts a host name in place down to its last two labels, or three when the last label has
// two letters (a country's second-level domains); empties it when the result begins with a
// digit. Returns 1 when it emptied the text.
int ReduceDomainText(char* text);

// Copies count answer bytes into text (capacity bytes, always terminated) with every line
// feed turned into CR LF, so the edit control breaks the line; NUL bytes are dropped.
// 2 * count + 1 bytes always suffice. Returns the length written.
size_t ExpandAnswerPiece(const char* bytes, size_t count, char* text, size_t capacity);

// The longest server name: what the server box and its history hold (a host name may be longer,
// but a name the history would keep cut is one nobody typed).
enum { kServerNameMax = 127 };
// False for a name no lookup should be asked about: longer than kServerNameMax, made of
// spaces only, or holding control characters or bytes above 126. An empty name is usable
// (the platform decides what it means).
bool IsUsableServerName(const char* name);
