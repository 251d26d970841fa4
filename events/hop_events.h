// Records the trace's loss episodes from the ping cycle's echoes, as events of the log
// (platform-free). Every call comes under the echo lock: the worker's at each echo, the UI
// thread's at Start, at the ping cycle's start and at Stop.
#pragma once
#include <cstdint>

enum { kEventHopCapacity = 64 };

// Start: an empty log, every hop without echoes; echoes are recorded once the hops are set.
void StartHopEvents();
// The ping cycle's hops: count of them, and the destination's index (-1 when the last hop is not
// the traced address, a trace cut short, say).
void SetEventHops(int count, int destinationHop);
// One echo of the hop's (HopList index) ping cycle, made at second. Nothing after Stop.
void RecordEpisodeEcho(int hop, uint32_t second, bool answered, uint32_t rtt);
// Stop: an episode still open ends at its last echo's second; echoes counted after this (the one
// out at Stop) make no event.
void StopHopEvents();

// Loss not passed on: whether hops after hop answered echoes between first and last (trace
// seconds, both included) and none of them lost one there. False when no later hop was pinged
// then, or when a later hop's record of losses no longer reaches back to first.
bool LossNotPassedOn(int hop, uint32_t first, uint32_t last);
