// The hop table's cell text rules: the numbers of one hop as the text of one column
// (platform-free).
#pragma once
#include <cstddef>
#include <cstdint>

// What the cells of one hop show, as GetCellText reads it from the hop's pinger.
struct HopCellNumbers {
    int Row;              // its HopList index, 0 ... 39
    int IgnoreFirst;      // the Settings flag; its lowest bit counts
    int NoResponse;       // a placeholder hop that never answered
    uint32_t Address;     // network byte order
    const char* HostText; // the pinger's own host text
    int Sent;
    int Received;
    uint32_t LastRtt, AverageRtt, MinRtt, MaxRtt;
    const char* AsText = nullptr; // the AS column's text, kept by the AS lookups; nullptr reads as empty
};

// The number the Hop column shows for the hop of HopList index row: counted from 1, or from 2
// while the first hop is ignored (the lowest bit of the Settings flag IgnoreFirst).
int HopNumber(int row, int ignoreFirst);
// The text of column (0 ... 10) for the hop; "Dunno" for any other column. Numbers and fixed
// texts go into text (size bytes, always terminated), the address into FormatAddress's
// buffer, and the host name and AS are HostText and AsText themselves.
const char* FormatHopCell(int column, const HopCellNumbers& hop, char* text, size_t size);
