// The AS lookups' worker threads. DnsQuery_A blocks for as long as the resolver waits, so it
// runs here: a few workers take queries from one queue, each asking one name at a time, and
// post every answer, parsed, to the main window.
#include "asn/as_lookup.h"
#include "app/app.h"
#include "asn/asn.h"
#include "common/bounded_text.h"
#include <cstring>
#include <deque>
#include <string>
#include <windns.h>

typedef DNS_STATUS(WINAPI* DnsQueryAFunction)(PCSTR, WORD, DWORD, PIP4_ARRAY, PDNS_RECORD*,
                                              PVOID*);
typedef VOID(WINAPI* DnsRecordListFreeFunction)(PDNS_RECORD, DNS_FREE_TYPE);

// At most this many queries are out at once: the mapping service asks for a gentle pace.
enum { kAsWorkerCount = 3, kAsAnswerTextLimit = 16384 };

struct AsJob {
    AsQueryKind kind;
    uint32_t key;
    char name[kAsQueryNameSize];
};

// The library and its calls, bound at the first query and kept for the program's life.
static HMODULE DnsLibrary;
static DnsQueryAFunction DnsQueryA;
static DnsRecordListFreeFunction DnsRecordListFreeCall;
static bool BindingTried;

// The queue is shared by the UI thread (which adds) and the workers (which take), always under
// QueueLock; JobsReady counts the jobs in it, and is released once more per worker at the stop
// so that every waiting worker wakes. Both are made once and kept for the program's life.
// Each worker belongs to a generation of them: a stop starts the next generation, and a worker
// of an older one (still in a query when the stop came) posts nothing more and ends.
static CRITICAL_SECTION QueueLock;
static std::deque<AsJob> Jobs;
static HANDLE JobsReady;
static HANDLE Workers[kAsWorkerCount];
static int WorkerCount;
static volatile LONG Generation;

static bool BindDnsLibrary() {
    if (BindingTried)
        return DnsQueryA && DnsRecordListFreeCall;
    BindingTried = true;
    DnsLibrary = LoadLibraryA("dnsapi.dll");
    if (!DnsLibrary)
        return false;
    DnsQueryA = reinterpret_cast<DnsQueryAFunction>(
        reinterpret_cast<void*>(GetProcAddress(DnsLibrary, "DnsQuery_A")));
    DnsRecordListFreeCall = reinterpret_cast<DnsRecordListFreeFunction>(
        reinterpret_cast<void*>(GetProcAddress(DnsLibrary, "DnsRecordListFree")));
    return DnsQueryA && DnsRecordListFreeCall;
}

// The strings of one TXT record joined, as the service splits long texts into several.
static void JoinStrings(const DNS_TXT_DATAA& txt, std::string& text) {
    text.clear();
    for (DWORD i = 0; i < txt.dwStringCount && text.size() < kAsAnswerTextLimit; i++)
        if (txt.pStringArray[i])
            text.append(txt.pStringArray[i],
                        strnlen(txt.pStringArray[i], kAsAnswerTextLimit - text.size()));
}

// The first well-formed TXT record of the answer section: where several prefixes hold the
// address, the first answer is the one shown.
static void ReadAnswer(PDNS_RECORD records, AsReply& reply) {
    std::string text;
    for (PDNS_RECORD r = records; r && !reply.answered; r = r->pNext) {
        if (r->wType != DNS_TYPE_TEXT || r->Flags.S.Section != DnsSectionAnswer)
            continue;
        JoinStrings(r->Data.TXT, text);
        reply.answered = reply.kind == AsQueryKind::Origin
                             ? ParseOriginAnswer(text.data(), text.size(), reply.origin)
                             : ParseAsNameAnswer(text.data(), text.size(), reply.name);
    }
}

static void RunJob(const AsJob& job, LONG generation) {
    AsReply* reply = new AsReply();
    reply->kind = job.kind;
    reply->key = job.key;
    PDNS_RECORD records = nullptr;
    // Wire only: the local hosts file holds no TXT records, and the cache of the system's
    // resolver is left to the system.
    if (DnsQueryA(job.name, DNS_TYPE_TEXT, DNS_QUERY_STANDARD, nullptr, &records, nullptr) == 0)
        ReadAnswer(records, *reply);
    if (records)
        DnsRecordListFreeCall(records, DnsFreeRecordList);
    if (generation != Generation || !PostMessageA(MainWindow, MSG_AS_ANSWER, 0, reinterpret_cast<LPARAM>(reply)))
        delete reply;
}

static DWORD WINAPI AsWorker(void* parameter) {
    LONG generation = static_cast<LONG>(reinterpret_cast<INT_PTR>(parameter));
    for (;;) {
        WaitForSingleObject(JobsReady, INFINITE);
        if (generation != Generation)
            return 0;
        AsJob job;
        EnterCriticalSection(&QueueLock);
        bool found = !Jobs.empty();
        if (found) {
            job = Jobs.front();
            Jobs.pop_front();
        }
        LeaveCriticalSection(&QueueLock);
        if (found)
            RunJob(job, generation);
    }
}

static bool StartWorkers() {
    if (WorkerCount > 0)
        return true;
    if (!JobsReady) {
        InitializeCriticalSection(&QueueLock);
        JobsReady = CreateSemaphoreA(nullptr, 0, 0x7FFFFFFF, nullptr);
        if (!JobsReady) {
            DeleteCriticalSection(&QueueLock);
            return false;
        }
    }
    void* generation = reinterpret_cast<void*>(static_cast<INT_PTR>(Generation));
    for (int i = 0; i < kAsWorkerCount; i++) {
        HANDLE worker = CreateThread(nullptr, 0, AsWorker, generation, 0, nullptr);
        if (worker)
            Workers[WorkerCount++] = worker;
    }
    return WorkerCount > 0;
}

bool QueueAsQuery(AsQueryKind kind, uint32_t key, const char* name) {
    if (!BindDnsLibrary() || !StartWorkers())
        return false;
    AsJob job = {kind, key, {}};
    CopyText(job.name, sizeof job.name, name);
    EnterCriticalSection(&QueueLock);
    Jobs.push_back(job);
    LeaveCriticalSection(&QueueLock);
    ReleaseSemaphore(JobsReady, 1, nullptr);
    return true;
}

void StopAsWorkers() {
    if (WorkerCount == 0)
        return;
    EnterCriticalSection(&QueueLock);
    Jobs.clear();
    LeaveCriticalSection(&QueueLock);
    InterlockedIncrement(&Generation);
    ReleaseSemaphore(JobsReady, WorkerCount, nullptr);
    // A worker inside DnsQuery_A ends when the resolver gives up; the program does not wait
    // that long at its exit.
    WaitForMultipleObjects(static_cast<DWORD>(WorkerCount), Workers, TRUE, 2000);
    for (int i = 0; i < WorkerCount; i++)
        CloseHandle(Workers[i]);
    WorkerCount = 0;
}
