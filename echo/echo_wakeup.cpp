// The echo worker's wake-up. Where the system has condition variables, a wake-up is one: it
// costs neither thread a trip through the system's object manager when the worker is awake, and
// a cheap one when it sleeps. Elsewhere (before Windows Vista) it is an unnamed semaphore with a
// count of at most one.
#include "echo/echo_wakeup.h"
#include <windows.h>

typedef BOOL(WINAPI* SleepConditionEntry)(CONDITION_VARIABLE*, CRITICAL_SECTION*, DWORD);
typedef void(WINAPI* WakeConditionEntry)(CONDITION_VARIABLE*);

static SleepConditionEntry SleepCondition;
static WakeConditionEntry WakeCondition;
static CRITICAL_SECTION WakeLock;
static CONDITION_VARIABLE WakeSignal;
static int WakePending; // under WakeLock
static HANDLE WakeSemaphore;

bool OpenEchoWakeup() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SleepCondition = reinterpret_cast<SleepConditionEntry>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SleepConditionVariableCS")));
    WakeCondition = reinterpret_cast<WakeConditionEntry>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "WakeConditionVariable")));
    if (SleepCondition && WakeCondition) {
        InitializeCriticalSection(&WakeLock);
        WakeSignal = CONDITION_VARIABLE_INIT;
        WakePending = 0;
        return true;
    }
    SleepCondition = nullptr, WakeCondition = nullptr;
    WakeSemaphore = CreateSemaphoreA(nullptr, 0, 1, nullptr); // unnamed: ours alone
    return WakeSemaphore != nullptr;
}

void CloseEchoWakeup() {
    if (SleepCondition)
        DeleteCriticalSection(&WakeLock);
    if (WakeSemaphore)
        CloseHandle(WakeSemaphore);
    WakeSemaphore = nullptr;
    SleepCondition = nullptr, WakeCondition = nullptr;
}

void WakeEchoWorker() {
    if (!SleepCondition) {
        ReleaseSemaphore(WakeSemaphore, 1, nullptr); // at its maximum already: folds in
        return;
    }
    EnterCriticalSection(&WakeLock);
    WakePending = 1;
    LeaveCriticalSection(&WakeLock);
    WakeCondition(&WakeSignal);
}

void WaitForEchoWakeup() {
    if (!SleepCondition) {
        WaitForSingleObject(WakeSemaphore, INFINITE);
        return;
    }
    EnterCriticalSection(&WakeLock);
    while (!WakePending)
        SleepCondition(&WakeSignal, &WakeLock, INFINITE);
    WakePending = 0;
    LeaveCriticalSection(&WakeLock);
}
