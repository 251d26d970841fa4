// The round: the ping cycle without pauses, run by the echo worker. Each echo of a round is put
// in the slot by the completion of the one before it, so that the UI thread is woken at most
// once a display frame instead of once an echo: that wake-up, and the message it takes, cost a
// quarter of the echo rate.
#include "echo/echo_round.h"
#include "echo/echo_service_internal.h"
#include <cstring>

// Under EchoLock: the worker reads and writes it at each completion, the UI thread at its looks.
static struct {
    bool running;
    CPinger* const* hops;
    int count;
    int cursor; // the hop whose echo is out; once ended, the hop answered last
    UINT noticeMessage;
    UINT ttl;
    bool noticePending; // posted, or the UI thread looks again at its next frame
    unsigned char answeredHops[kEchoRoundCapacity]; // since the UI thread last looked
} Round;

// Set by the UI thread before any round starts; read by the worker at each completion.
static int SendLimit;

void LimitEchoRoundSends(int sent) {
    SendLimit = sent;
}

bool EchoRoundRunning() {
    return Round.running;
}

void EndEchoRound() {
    Round.running = false;
}

// The next hop after the round's cursor that is sent echoes, going round; -1 when there is none,
// not even the cursor's own. A hop that has all a report's echoes is sent no more.
static int NextRoundHop() {
    for (int step = 1; step <= Round.count; step++) {
        int hop = (Round.cursor + step) % Round.count;
        CPinger* pinger = Round.hops[hop];
        if (!pinger || pinger->IsIgnored() || pinger->IsNoResponse())
            continue;
        // The cursor's echo has just completed; the worker counts it after this.
        int sent = pinger->GetSentCount() + (hop == Round.cursor ? 1 : 0);
        if (SendLimit == 0 || sent < SendLimit)
            return hop;
    }
    return -1;
}

bool ContinueEchoRound(bool goesOn) {
    Round.answeredHops[Round.cursor] = 1;
    int next = goesOn ? NextRoundHop() : -1;
    if (next < 0) {
        Round.running = false;
        return false;
    }
    Round.cursor = next;
    CPinger* target = Round.hops[next];
    target->Options()->Ttl = static_cast<UCHAR>(Round.ttl); // its buffers are the worker's
    FillEchoSlot(EchoRequest, target, EchoRequest.window, EchoRequest.message, EchoRequest.timeout);
    return true;
}

// Another notice is posted only once the UI thread has looked and found nothing new.
void PostEchoRoundNotice(HWND window, ULONG status, CPinger* target) {
    if (Round.noticePending || !IsWindow(window))
        return;
    Round.noticePending = true;
    PostMessageA(window, Round.noticeMessage, status, reinterpret_cast<LPARAM>(target));
}

bool StartEchoRound(CPinger* const* hops, int count, int first, HWND window, UINT replyMessage,
                    UINT noticeMessage, DWORD timeout, unsigned ttl) {
    if (!EchoServiceIsRunning() || count > kEchoRoundCapacity)
        return false;
    LockEchoStatistics();
    Round.running = true;
    Round.hops = hops;
    Round.count = count;
    Round.cursor = first;
    Round.noticeMessage = noticeMessage;
    Round.ttl = ttl;
    Round.noticePending = false;
    memset(Round.answeredHops, 0, sizeof Round.answeredHops);
    UnlockEchoStatistics();
    hops[first]->SendEcho(window, replyMessage, timeout, ttl);
    return true;
}

void TakeEchoRoundProgress(EchoRoundLook look, EchoRoundProgress* progress,
                           unsigned char* answeredHops) {
    if (!EchoServiceIsRunning()) {
        *progress = {false, Round.cursor, 0};
        return;
    }
    LockEchoStatistics();
    progress->running = Round.running;
    progress->cursor = Round.cursor;
    progress->answered = 0;
    for (int hop = 0; hop < Round.count; hop++)
        progress->answered += answeredHops[hop] = Round.answeredHops[hop];
    memset(Round.answeredHops, 0, sizeof Round.answeredHops);
    if (look == EchoRoundLook::End)
        Round.running = false;
    else if (look == EchoRoundLook::Frame && progress->answered == 0)
        Round.noticePending = false; // quiet for a frame: the next answer posts a notice
    UnlockEchoStatistics();
}
