// ICMP status codes of the system ICMP library as the fixed texts shown to the user.
#include "echo/icmp_status.h"

const char* IcmpStatusText(long status) {
    static const char* const texts[] = {
        "Buffer too small",                 // 11001
        "Destination net unreachable",      // 11002
        "Destination host unreachable",     // 11003
        "Destination protocol unreachable", // 11004
        "Destination port unreachable",     // 11005
        "No resources",                     // 11006
        "Bad option",                       // 11007
        "Hardware error",                   // 11008
        "Packet too big",                   // 11009
        "Request timed out",                // 11010
        "Bad request",                      // 11011
        "Bad route",                        // 11012
        "TTL expired in transit",           // 11013
        "TTL expired on reassembly",        // 11014
        "Param problem",                    // 11015
        "Source quench",                    // 11016
        "Option too big",                   // 11017
        "Bad destination",                  // 11018
    };
    if (status == 0)
        return "Success";
    if (status >= 11001 && status <= 11018)
        return texts[status - 11001];
    return "Unknown error";
}

bool IcmpStatusGoesOn(unsigned long status) {
    return status == 0 || status == 11010 || status == 11013;
}
