// Critical sections, mutexes, waits and interlocked counters.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// ---- Critical sections ----

CRITICAL_SECTION zeroedSection; // never initialised

TEST(CriticalSections, ExcludeOtherThreadsAndNestInTheirOwner) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                EnterCriticalSection(&section);
                EnterCriticalSection(&section);
                ++counter;
                LeaveCriticalSection(&section);
                LeaveCriticalSection(&section);
            }
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(counter, 80000);
    DeleteCriticalSection(&section);
}

TEST(CriticalSections, TryEnterFailsWhileAnotherThreadHolds) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section)); // recursion
    LeaveCriticalSection(&section);
    BOOL other = TRUE;
    std::thread([&] {
        other = TryEnterCriticalSection(&section);
        LeaveCriticalSection(&section); // not held: must not release ours
    }).join();
    EXPECT_FALSE(other);
    std::thread([&] { other = TryEnterCriticalSection(&section); }).join();
    EXPECT_FALSE(other);
    LeaveCriticalSection(&section);
    std::thread([&] {
        other = TryEnterCriticalSection(&section);
        LeaveCriticalSection(&section);
    }).join();
    EXPECT_TRUE(other);
    DeleteCriticalSection(&section);
}

TEST(CriticalSections, AZeroedGlobalStillExcludes) {
    EnterCriticalSection(&zeroedSection);
    BOOL other = TRUE;
    std::thread([&] { other = TryEnterCriticalSection(&zeroedSection); }).join();
    EXPECT_FALSE(other);
    LeaveCriticalSection(&zeroedSection);
    DeleteCriticalSection(&zeroedSection);
}

// ---- Mutexes ----

DWORD waitOnOtherThread(HANDLE mutex, DWORD milliseconds, bool release = false) {
    DWORD result = 0;
    std::thread([&] {
        result = WaitForSingleObject(mutex, milliseconds);
        if (release)
            ReleaseMutex(mutex);
    }).join();
    return result;
}

TEST(Mutexes, OwnershipIsRecursiveAndOnlyTheOwnerReleases) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), DWORD(WAIT_OBJECT_0)); // count 2
    EXPECT_EQ(waitOnOtherThread(mutex, 20), DWORD(WAIT_TIMEOUT));

    BOOL released = TRUE;
    DWORD error = 0;
    std::thread([&] {
        released = ReleaseMutex(mutex);
        error = GetLastError();
    }).join();
    EXPECT_FALSE(released);
    EXPECT_EQ(error, DWORD(ERROR_NOT_OWNER));

    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(waitOnOtherThread(mutex, 0), DWORD(WAIT_TIMEOUT)); // still held once
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_OWNER));
    EXPECT_EQ(waitOnOtherThread(mutex, 0, true), DWORD(WAIT_OBJECT_0));
    EXPECT_TRUE(CloseHandle(mutex));
}

TEST(Mutexes, AWaiterWakesWhenTheOwnerReleases) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
    std::atomic<DWORD> result{WAIT_FAILED};
    std::atomic<bool> owned{false};
    std::thread waiter([&] {
        result = WaitForSingleObject(mutex, INFINITE);
        owned = true;
        Sleep(50);
        ReleaseMutex(mutex);
    });
    Sleep(20);
    EXPECT_FALSE(owned);
    ReleaseMutex(mutex);
    while (!owned)
        Sleep(1);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), DWORD(WAIT_TIMEOUT));
    waiter.join();
    EXPECT_EQ(result, DWORD(WAIT_OBJECT_0));
    CloseHandle(mutex);
}

TEST(Mutexes, TimeOutTakesAboutTheTimeAsked) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    auto took = Clock::now();
    std::thread([&] { EXPECT_EQ(WaitForSingleObject(mutex, 60), DWORD(WAIT_TIMEOUT)); }).join();
    auto elapsed = Clock::now() - took;
    EXPECT_GE(elapsed, std::chrono::milliseconds(60));
    EXPECT_LT(elapsed, std::chrono::seconds(2));
    CloseHandle(mutex);
}

TEST(Mutexes, AnOwnerThatEndsAbandonsItsMutexToTheNextWaiter) {
    HANDLE taken = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE created = nullptr;
    std::thread([&] {
        WaitForSingleObject(taken, INFINITE);
        WaitForSingleObject(taken, INFINITE);
        created = CreateMutexA(nullptr, TRUE, nullptr);
    }).join();
    for (HANDLE mutex : {taken, created}) {
        EXPECT_EQ(WaitForSingleObject(mutex, 0), DWORD(WAIT_ABANDONED));
        EXPECT_EQ(waitOnOtherThread(mutex, 0), DWORD(WAIT_TIMEOUT)); // ours now
        EXPECT_TRUE(ReleaseMutex(mutex));
        EXPECT_FALSE(ReleaseMutex(mutex)); // the dead owner's count is gone
        EXPECT_EQ(waitOnOtherThread(mutex, 0, true), DWORD(WAIT_OBJECT_0));
        CloseHandle(mutex);
    }
}

TEST(Mutexes, AbandonmentWakesABlockedWaiter) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    std::atomic<bool> taken{false};
    std::thread owner([&] {
        WaitForSingleObject(mutex, INFINITE);
        taken = true;
        Sleep(30);
    });
    while (!taken)
        Sleep(1);
    EXPECT_EQ(WaitForSingleObject(mutex, 5000), DWORD(WAIT_ABANDONED));
    owner.join();
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

TEST(Mutexes, BadHandlesAndNamesFail) {
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "Global\\tavo"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    int notAHandle = 0;
    EXPECT_EQ(WaitForSingleObject(&notAHandle, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    CloseHandle(mutex);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_FAILED);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

// ---- Interlocked operations ----

TEST(Interlocked, ReturnTheValuesWindowsReturns) {
    volatile LONG value = 5;
    EXPECT_EQ(InterlockedExchange(&value, 9), 5);
    EXPECT_EQ(InterlockedIncrement(&value), 10);
    EXPECT_EQ(InterlockedDecrement(&value), 9);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 4), 9); // no match: unchanged
    EXPECT_EQ(value, 9);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 9), 9);
    EXPECT_EQ(value, 1);
}

} // namespace
