/* Control interface of the fake icmp.dll: the call record and the types of its control exports. */
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What FakeIcmpIdentify returns: proof that the loaded icmp.dll is the fake. */
#define FAKE_ICMP_IDENTITY 0x46494331 /* "FIC1" */

/* FakeIcmpCall.kind */
#define FAKE_ICMP_CREATE 1 /* IcmpCreateFile */
#define FAKE_ICMP_CLOSE 2  /* IcmpCloseHandle */
#define FAKE_ICMP_ECHO 3   /* IcmpSendEcho */

/* One call of an ICMP export, in the order the calls began. */
typedef struct FakeIcmpCall {
    int sequence;        /* 1, 2, 3 ... since the last reset */
    int kind;            /* FAKE_ICMP_CREATE, FAKE_ICMP_CLOSE or FAKE_ICMP_ECHO */
    DWORD threadId;      /* the calling thread */
    HANDLE handle;       /* create: the handle returned (INVALID_HANDLE_VALUE on failure);
                            close, echo: the handle passed */
    ULONG destination;   /* echo: IPAddr as passed (network byte order) */
    int ttl;             /* echo: options->Ttl, -1 when options is NULL */
    DWORD requestSize;   /* echo */
    DWORD replySize;     /* echo */
    DWORD timeout;       /* echo: ms */
    DWORD returned;      /* the value returned: create 1 (valid handle) or 0; close the BOOL;
                            echo the number of replies (1 or 0) */
    DWORD status;        /* echo: the reply's Status when returned is 1, else the error set */
    DWORD error;         /* the last error set, 0 when the call succeeded */
    ULONG address;       /* echo: the responder written into the reply, 0 for none */
    DWORD roundTripTime; /* echo: ms written into the reply */
    int rule;            /* scenario line that decided the answer, 0 for none */
    int held;            /* echo: 1 when the call was held until released */
    int pending;         /* 1 while the call has not returned yet (delayed or held) */
} FakeIcmpCall;

typedef struct FakeIcmpCounts {
    int creates;     /* IcmpCreateFile calls, failed ones included */
    int closes;      /* IcmpCloseHandle calls, failed ones included */
    int openHandles; /* handles created and not yet closed */
    int echoes;      /* IcmpSendEcho calls */
    int held;        /* echoes held right now */
} FakeIcmpCounts;

/* Control exports (all WINAPI, undecorated names):
   FakeIcmpIdentify       returns FAKE_ICMP_IDENTITY.
   FakeIcmpSetScenario    replaces the scenario; 1 on success, else 0 with "line N: reason" in
                          error (bounded by errorSize) and an empty scenario (every echo times out).
   FakeIcmpReset          empty scenario, empty record, no handles, releases held calls, and
                          forgets FAKE_ICMP_SCENARIO so the next IcmpCreateFile reads it afresh.
   FakeIcmpCallCount      number of calls recorded.
   FakeIcmpGetCall        copies call index (0-based) into *call; 1, or 0 when out of range.
   FakeIcmpGetCounts      fills *counts; returns 1.
   FakeIcmpWaitForHeld    waits up to timeoutMs until at least atLeast echoes are held; returns
                          the number held at return (less than atLeast on time-out).
   FakeIcmpReleaseHeld    releases the held echo with that sequence, or all when sequence is 0;
                          returns the number released. */
typedef int(WINAPI* FakeIcmpIdentifyFn)(void);
typedef int(WINAPI* FakeIcmpSetScenarioFn)(const char* text, char* error, DWORD errorSize);
typedef void(WINAPI* FakeIcmpResetFn)(void);
typedef int(WINAPI* FakeIcmpCallCountFn)(void);
typedef int(WINAPI* FakeIcmpGetCallFn)(int index, FakeIcmpCall* call);
typedef int(WINAPI* FakeIcmpGetCountsFn)(FakeIcmpCounts* counts);
typedef int(WINAPI* FakeIcmpWaitForHeldFn)(int atLeast, DWORD timeoutMs);
typedef int(WINAPI* FakeIcmpReleaseHeldFn)(int sequence);

#ifdef __cplusplus
}
#endif
