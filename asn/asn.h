// The AS number, prefix, country and AS name of each hop, from the IP-to-ASN mapping service's
// DNS TXT records: asked while the Preferences setting "Look up AS numbers" is on, each address
// and each AS once in the program's life, and shown in the hop table's AS column, the hop menu,
// the graph and the saved files.
#pragma once
#include "asn/as_answer.h"
#include <windows.h>

enum { MSG_AS_ANSWER = 1140 }; // a worker's answer to the main window; lParam the AsReply

// Asks for address's AS when the setting is on, the service can know the address and it has
// not been asked before; the answer comes later, and refreshes the rows of that address.
void RequestHopAs(uint32_t address);
// The same for every hop of the table: when the setting is turned on.
void RequestAllHopsAs();
// The AS column's text for address: empty when never asked, still awaited or not sendable
// (a private address), "---" when no answer came in time or the answer was malformed. Valid
// for the program's life.
const char* AsCellText(uint32_t address);
// What the service said of address, for the saved files: the origin record, and its AS's name
// record when that came (nullptr while not). False, both nullptr, when no answer is known.
bool HopAsRecords(uint32_t address, const AsOrigin** origin, const AsName** name);
// Copy AS's text for address ("AS13335 | 104.16.0.0/13 | US | arin | 2014-03-28 |
// CLOUDFLARENET, US"); false, text empty, when no answer is known.
bool FormatHopAs(uint32_t address, char* text, size_t size);
// MSG_AS_ANSWER: files the answer and refreshes the rows it concerns.
void OnAsAnswer(WPARAM wParam, LPARAM lParam);
// At shutdown: the workers end; the answers known so far stay.
void StopAsLookups();

// The zones asked, from the INI section "Preferences" (AsOriginZone, AsNameZone).
extern char AsOriginZone[kAsZoneSize];
extern char AsNameZone[kAsZoneSize];
extern const char kDefaultAsOriginZone[];
extern const char kDefaultAsNameZone[];
