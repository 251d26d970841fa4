/* Names and addresses of the test lab network; tests/lab/lab.sh builds the lab from these values. */
#ifndef ROUTELARK_LAB_TOPOLOGY_H
#define ROUTELARK_LAB_TOPOLOGY_H

/*
 * client -- r1 -- r2 -- r3 -- r4 -- r5 ~~slow~~ r6 -- dest
 *            |
 *          whois
 *
 * Link k (k = 1..7) is 198.18.k.0/24 between hop k-1 (the client is hop 0) and hop k. Hop k owns
 * 198.18.k.1, its address towards the client, and answers from it; its neighbour towards the client
 * owns 198.18.k.2. The WhoIs host hangs off r1 on 198.18.10.0/24. Keep lab.sh's scheme in step.
 */
#define LAB_DOMAIN "routelark.test"

#define LAB_CLIENT_ADDR "198.18.1.2"
#define LAB_CLIENT_NAME "client.routelark.test"

#define LAB_ROUTERS 6
#define LAB_DEST_HOP 7 /* the destination is the hop after the last router */

#define LAB_R1_ADDR "198.18.1.1"
#define LAB_R1_NAME "r1.routelark.test"
#define LAB_R2_ADDR "198.18.2.1"
#define LAB_R2_NAME "r2.routelark.test"
#define LAB_R3_ADDR "198.18.3.1"
#define LAB_R3_NAME "r3.routelark.test"
#define LAB_R4_ADDR "198.18.4.1"
#define LAB_R4_NAME "r4.routelark.test"
#define LAB_R5_ADDR "198.18.5.1"
#define LAB_R5_NAME "r5.routelark.test"
#define LAB_R6_ADDR "198.18.6.1"
/* r6 resolves from the short alias, but its reverse name is longer and has an extra label. */
#define LAB_R6_NAME "r6.far-side-of-the-slow-link.routelark.test"
#define LAB_R6_ALIAS "r6.routelark.test"
#define LAB_DEST_ADDR "198.18.7.1"
#define LAB_DEST_NAME "dest.routelark.test"

/* Initialisers for arrays indexed by hop - 1 (hop 1 = r1 ... hop 7 = dest). */
#define LAB_HOP_ADDRS                                                                             \
    { LAB_R1_ADDR, LAB_R2_ADDR, LAB_R3_ADDR, LAB_R4_ADDR, LAB_R5_ADDR, LAB_R6_ADDR, LAB_DEST_ADDR }
#define LAB_HOP_NAMES                                                                             \
    { LAB_R1_NAME, LAB_R2_NAME, LAB_R3_NAME, LAB_R4_NAME, LAB_R5_NAME, LAB_R6_NAME, LAB_DEST_NAME }

/* r4 forwards but sends no ICMP of its own: a probe whose TTL ends there times out. */
#define LAB_SILENT_HOP 4

/* r3 has no route to 198.19.0.0/16: probes there get "destination net unreachable" from r3
   (r1 and r2 send the whole 198.18.0.0/15 on down the chain). */
#define LAB_UNROUTED_ADDR "198.19.0.1"
#define LAB_UNROUTED_NAME "unrouted.routelark.test"
#define LAB_UNROUTED_HOP 3

/* Link 6 (r5 to r6) is a user-space relay that holds every packet LAB_DELAY_MS in each
   direction, so hops 6 and 7 answer at least 2 * LAB_DELAY_MS later than the hops before it.
   lab.sh --delay changes it and exports the value in LAB_DELAY_ENV. */
#define LAB_SLOW_HOP 6
#define LAB_DELAY_MS 20
#define LAB_DELAY_ENV "ROUTELARK_LAB_DELAY_MS"

#define LAB_WHOIS_ADDR "198.18.10.1"
#define LAB_WHOIS_NAME "whois.routelark.test"
#define LAB_WHOIS_PORT 43
/* A query with an answer file in tests/lab/whois/. */
#define LAB_WHOIS_QUERY "example.test"
/* The WhoIs host answers "bulk-N.test" with the first N bytes of numbered CR LF lines
   "bulk line 00000000 ..." (N up to 16 MiB), for long answers. */
#define LAB_WHOIS_BULK_QUERY_FORMAT "bulk-%u.test"

/* Loopback addresses for the WhoIs servers that tests run themselves, one per test, so that
   tests running side by side never meet: LAB_LOOPBACK_WHOIS_NET.N is named
   whois-N.loopback.routelark.test (N = 1 ... LAB_LOOPBACK_WHOIS_COUNT), forward and reverse. */
#define LAB_LOOPBACK_WHOIS_NET "127.0.43"
#define LAB_LOOPBACK_WHOIS_COUNT 40

/* An address on the WhoIs host's link that no host owns: a connection there hears nothing
   until r1 gives up on it (host unreachable, after about 3 s). */
#define LAB_NOHOST_ADDR "198.18.10.99"
#define LAB_NOHOST_NAME "nohost.routelark.test"

/* No host has this name; its lookup fails at once: the client's own name server on 127.0.0.1
   (where its empty resolv.conf points) knows no name outside the slow zone. */
#define LAB_UNKNOWN_NAME "nosuch.routelark.test"

/* Names in this zone resolve, to the destination's address, only after LAB_SLOW_LOOKUP_MS: a
   lookup slow enough to be stopped. */
#define LAB_SLOW_ZONE "slow.routelark.test"
#define LAB_SLOW_NAME "dest.slow.routelark.test"
#define LAB_SLOW_LOOKUP_MS 1500

/* Hop addresses that no host owns, for odd reverse names (the fake ICMP library makes hops answer
   from them): a name of LAB_LONG_REVERSE_LENGTH bytes (labels of 'n', ending in LAB_DOMAIN), one
   holding HTML's special characters, and one with bytes above 127 (Latin-1). */
#define LAB_LONG_REVERSE_ADDR "198.18.30.1"
#define LAB_LONG_REVERSE_LENGTH 255
#define LAB_HTML_NAME_ADDR "198.18.30.2"
#define LAB_HTML_NAME "<b>r&amp;d</b>.routelark.test"
#define LAB_HIGH_BYTES_ADDR "198.18.30.3"
#define LAB_HIGH_BYTES_NAME "r\xe9seau-gr\xfcn.routelark.test"

/* Another name of the destination, LAB_LONG_HOST_LENGTH characters long (labels of 'h', ending in
   LAB_DOMAIN): the longest text the host name box takes. Its reverse name stays LAB_DEST_NAME. */
#define LAB_LONG_HOST_LENGTH 127

/* The reverse names of LAB_SLOW_REVERSE_NET.N (hop-N.slow.routelark.test) come from the client's
   name server only after LAB_SLOW_LOOKUP_MS, so that a hop's name lookup can be caught running. */
#define LAB_SLOW_REVERSE_NET "198.18.31"

/* The client's name server holds TXT records for the hops in two AS zones (asn_records.tsv),
   shaped as the IP-to-ASN mapping service's: r1 and r2 in AS 64512, r3 in AS 64513, r5's answer
   malformed, r6's (AS 64516) only after LAB_AS_SLOW_MS, dest's naming two origins (64517 64518)
   with a name longer than one string of 255 bytes. It logs each TXT query to dns.log in the
   lab's state folder (LAB_STATE_ROOT/<prefix>/) as "txt NAME". */
#define LAB_AS_ORIGIN_ZONE "origin.asn.routelark.test"
#define LAB_AS_NAME_ZONE "asn.routelark.test"
#define LAB_AS_SLOW_MS 3000
#define LAB_STATE_ROOT "/run/routelark-lab"

/* The event log's tests change the network while a trace runs, so each traces an address of the
   destination of its own, which no other test traces (198.18.40.0/24 on the destination's
   loopback, routed down the chain like the destination's own):
     LAB_SWITCH_DEST_ADDR goes through r2 until "lab.sh route PREFIX alt" sends it through r2b, a
       router beside r2 (linked to r1 on link 44 and to r3 on link 45); "lab.sh route PREFIX main"
       sends it back. r3 answers from its address on link 3 whichever way the probe came, so only
       hop 2 changes.
     LAB_QUIET_DEST_ADDR: "lab.sh quiet PREFIX SECONDS" makes the destination drop the echoes to it
       for that long.
     LAB_SHY_DEST_ADDR always goes through r2b, which drops its own echo replies (but forwards
       everything) for SECONDS after "lab.sh mute PREFIX SECONDS". */
#define LAB_SWITCH_DEST_ADDR "198.18.40.1"
#define LAB_QUIET_DEST_ADDR "198.18.40.2"
#define LAB_SHY_DEST_ADDR "198.18.40.3"
#define LAB_ALT_HOP 2
#define LAB_ALT_ADDR "198.18.44.1"
#define LAB_ALT_NAME "r2b.routelark.test"

/* lab.sh run exports the lab's name prefix (e.g. "rl3fa9c1") in this variable. */
#define LAB_PREFIX_ENV "ROUTELARK_LAB_PREFIX"

#endif
