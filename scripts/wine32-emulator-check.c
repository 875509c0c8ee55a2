/* How 32-bit Wine sees processor faults under an emulator, without the
 * library; scripts/test-wine32.sh builds and runs it under emulation.
 *   code     the exception code of a read of address 0x10 (0 if C0000005)
 *   teb      whether a fault on the main thread, after a second thread has
 *            started, is dispatched on the main thread (0 if so)
 *   threads  whether four threads taking 50 faults each at once all have
 *            them caught (0 if so)
 * Each fault is the 5-byte "movl 0x10, %eax", skipped by a vectored handler.
 * Build: i686-w64-mingw32-gcc -O2 -o wine32-emulator-check.exe <this file> */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static volatile LONG caught;
static volatile DWORD code, seenThread;

static LONG CALLBACK Skip(EXCEPTION_POINTERS* p) {
    code = p->ExceptionRecord->ExceptionCode;
    seenThread = GetCurrentThreadId();
    InterlockedIncrement(&caught);
    p->ContextRecord->Eip += 5;
    return EXCEPTION_CONTINUE_EXECUTION;
}

static void Fault(void) { __asm__ volatile("movl 0x10, %%eax" ::: "eax", "memory"); }

static DWORD WINAPI Wait(void* event) { return WaitForSingleObject(event, INFINITE); }

static DWORD WINAPI FiftyFaults(void* unused) {
    (void)unused;
    for (int i = 0; i < 50; ++i) Fault();
    return 0;
}

int main(int argc, char** argv) {
    const char* check = argc > 1 ? argv[1] : "code";
    AddVectoredExceptionHandler(1, Skip);
    if (strcmp(check, "code") == 0) {
        Fault();
        printf("code: %08lx (an access violation is c0000005)\n", (unsigned long)code);
        return code == EXCEPTION_ACCESS_VIOLATION ? 0 : 1;
    }
    if (strcmp(check, "teb") == 0) {
        const DWORD self = GetCurrentThreadId();
        HANDLE stop = CreateEventA(NULL, TRUE, FALSE, NULL);
        DWORD other = 0;
        HANDLE thread = CreateThread(NULL, 0, Wait, stop, 0, &other);
        Sleep(200);
        Fault();
        const DWORD after = GetCurrentThreadId();
        printf("teb: main thread %04lx, second thread %04lx; the fault was dispatched on %04lx,"
               " and main is %04lx after it\n", self, other, seenThread, after);
        SetEvent(stop);
        WaitForSingleObject(thread, INFINITE);
        return seenThread == self && after == self ? 0 : 1;
    }
    HANDLE threads[4];
    for (int t = 0; t < 4; ++t) threads[t] = CreateThread(NULL, 0, FiftyFaults, NULL, 0, NULL);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    printf("threads: %ld of 200 faults caught\n", caught);
    return caught == 200 ? 0 : 1;
}
