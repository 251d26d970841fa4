// Texts of the ICMP library's status codes (platform-free).
#pragma once

// Fixed text of an ICMP status code; "Success" for 0, "Unknown error" for codes without one.
const char* IcmpStatusText(long status);
