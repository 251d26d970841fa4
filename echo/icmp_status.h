// Texts of the ICMP library's status codes (platform-free).
#pragma once

// Fixed text of an ICMP status code; "Success" for 0, "Unknown error" for codes without one.
const char* IcmpStatusText(long status);
// Whether the ping cycle goes on after an echo that ended with status: a reply, a reply
// with "TTL expired" and a timed-out echo do; any other status ends the trace.
bool IcmpStatusGoesOn(unsigned long status);
