// The trace engine: route discovery, the ping cycle over the hops found, host lookups.
#pragma once
#include "app/app.h"
#include "echo/pinger.h"

enum { kHopListCapacity = 40 };

// The discovered hops in order; entry i was found with the probe TTL IgnoreFirst + i + 1.
extern CPinger* HopList[kHopListCapacity];
extern int HopCount;  // hops whose discovery is complete
extern int HopCursor; // the hop being discovered, or being pinged
extern CPinger* ProbePinger;
extern IPAddr DestinationAddress;
extern int AttemptCount; // failed probes at the current hop

// The trace the HopList belongs to, as a saved file names it: the host text it was started with
// and the moment it started (UTC, taken by MarkTraceStart), set at Start. TraceTargetKnown is set
// once its destination (DestinationAddress) is found, and cleared at the next Start.
extern char TracedHostText[kHostTextCapacity];
extern SYSTEMTIME TraceStartTime;
extern int TraceTargetKnown;

// What the trace waits for; Stopped when no trace runs (the only record of that: the event
// handler table in force follows it). Each handler acts only on the completion its state
// expects, so a late or stale message never starts a second echo or lookup.
enum class TraceState { Stopped, Resolving, Probing, NamingHop, Pinging, Waiting };
extern TraceState CurrentTraceState;

// The host text of a hop whose name lookup found none.
extern const char kUnknownHostText[];

// Route discovery.
void StartTrace();
void StopTrace();
void ClearHops();
void SendNextProbe();
void OnDestinationResolved(UINT message, WPARAM wParam, LPARAM lParam);
void OnProbeReply(UINT message, WPARAM wParam, LPARAM lParam);
void OnHopName(UINT message, WPARAM wParam, LPARAM lParam);

// The ping cycle. EnterPingCycle pings from the first hop on; SendNextPing is the handler
// of the pause's end (MSG_PING_NEXT).
void EnterPingCycle();
void SendNextPing(UINT message, WPARAM wParam, LPARAM lParam);
void OnPingReply(UINT message, WPARAM wParam, LPARAM lParam);
// The completion of the echo that was out at Stop (MSG_PING_REPLY while stopped): the worker has
// counted it, so its hop's row is refreshed to show what a copied report would; no echo follows.
void ShowEchoOutAtStop(UINT message, WPARAM wParam, LPARAM lParam);
// The notice of a round's answers (MSG_PING_ROUND): the ping cycle without pauses is run by the
// echo worker, and the window follows it once a display frame.
void OnPingRoundNotice(UINT message, WPARAM wParam, LPARAM lParam);
// Ends the round, if one runs, so that the cycle goes on one echo at a time from the echo out:
// when the pauses or timeout are set up anew, and when the trace stops.
void EndPingRound();

// Host lookups. After LookupHost exactly one message reaches window, unless Stop abandons
// the lookup; the high 16 bits of its lParam hold the error, 0 on success, and then
// LookupAnswer() holds the answer. wParam is the lookup's task handle, or 0 when it could
// not be started. A lookup that finds every result area taken starts once one is free.
extern HANDLE PendingLookup;
void LookupHost(HWND window, UINT message, const char* text);
const hostent* LookupAnswer();
// Stop: the trace no longer waits for its lookup, which runs on and is dropped when it ends.
void AbandonPendingLookup();
// For a lookup completion reaching the main window: gives its result area back, and tells
// whether it is the one the trace waits for (only then is it routed).
bool ClaimLookupCompletion(WPARAM wParam);
// The trace's lookups still out (their areas lent), stopped traces' among them.
int TraceLookupsOut();
