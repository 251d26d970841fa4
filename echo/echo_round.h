// A round: the ping cycle without pauses, run by the echo worker by itself, so that the UI thread
// is woken at most once a display frame instead of once an echo.
#pragma once
#include "echo/pinger.h"

// Pings hops[first] and then, round after round over the count hops, each next hop that is
// neither ignored nor silent, one echo at a time, for as long as each status lets the trace go on
// (IcmpStatusGoesOn). noticeMessage tells the UI thread of the answers, once until it looks. The
// last echo (after a status that ends the trace, or when no hop is left) completes as
// replyMessage. Returns false, having sent nothing, without the echo service or when count passes
// kEchoRoundCapacity.
enum { kEchoRoundCapacity = 64 };
bool StartEchoRound(CPinger* const* hops, int count, int first, HWND window, UINT replyMessage,
                    UINT noticeMessage, DWORD timeout, unsigned ttl);
enum class EchoRoundLook {
    Notice, // on a notice: the next comes after a Frame look finds nothing new
    Frame,  // at a display frame: when nothing is new, the next answer posts a notice
    End,    // ends the round: its echo out is its last, completed as replyMessage
};
struct EchoRoundProgress {
    bool running;      // false: ended, and the completion of its last echo is posted
    int cursor;        // the hop whose echo is out, or once ended, the hop answered last
    unsigned answered; // hops answered since the last look
};
// What the round did since the last look; each hop answered since then gets a 1 at its index in
// answeredHops, which holds one entry for each of the round's hops.
void TakeEchoRoundProgress(EchoRoundLook look, EchoRoundProgress* progress,
                           unsigned char* answeredHops);

// A report run's echoes per hop: a hop sent that many is left out of every round, so that the
// round ends once each hop has them all (0, as set at start: no limit). Set before the trace.
void LimitEchoRoundSends(int sent);

// The echo service's side, each called inside EchoLock.
bool EchoRoundRunning();
void EndEchoRound();
// After the round's echo to the hop at its cursor: notes the answer and puts the next hop's echo
// in the slot, which stays the worker's; false, and the round ended, after a status that ends
// the trace (goesOn false) or when no hop is left to ping.
bool ContinueEchoRound(bool goesOn);
// Tells the UI thread of the round's answers: one notice until it has looked.
void PostEchoRoundNotice(HWND window, ULONG status, CPinger* target);
