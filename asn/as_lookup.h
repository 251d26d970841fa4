// The TXT queries of the AS lookups: DnsQuery_A from dnsapi.dll, bound at run time and called
// by a few worker threads, never by the UI thread.
#pragma once
#include "asn/as_answer.h"
#include <windows.h>

enum class AsQueryKind { Origin, Name };

// The answer of one query, posted to the main window as MSG_AS_ANSWER with the reply in
// lParam; whoever takes the message owns it and deletes it.
struct AsReply {
    AsQueryKind kind;
    uint32_t key;  // the address asked about (network byte order), or the AS number
    bool answered; // a well-formed answer came
    AsOrigin origin;
    AsName name;
};

// Queues a query of kind for key under name, starting the workers at the first one. False when
// dnsapi.dll or its calls cannot be found, or no worker could be started: then no answer
// will come.
bool QueueAsQuery(AsQueryKind kind, uint32_t key, const char* name);
// Tells the workers to end and waits a moment for them. A worker stuck in a query past that
// moment is left to end with the process; its answer is then never posted.
void StopAsWorkers();
