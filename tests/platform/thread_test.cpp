// Threads of the C runtime: start, argument and end.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Waits up to five seconds for condition, checking every millisecond.
template <class Condition> bool eventually(Condition condition) {
    for (int i = 0; i < 5000 && !condition(); ++i)
        Sleep(1);
    return condition();
}

struct Started {
    std::atomic<int> value{0};
    std::atomic<DWORD> threadId{0};
    std::atomic<bool> done{false};
};

TEST(Threads, StartRunsWithItsArgumentOnAThreadOfItsOwn) {
    Started run;
    uintptr_t handle = _beginthread(
        [](void *arg) {
            auto *r = static_cast<Started *>(arg);
            r->threadId = GetCurrentThreadId();
            r->value = 42;
            r->done = true;
        },
        0, &run);
    ASSERT_NE(handle, uintptr_t(-1));
    ASSERT_TRUE(eventually([&] { return run.done.load(); }));
    EXPECT_EQ(run.value, 42);
    EXPECT_NE(run.threadId, 0u);
    EXPECT_NE(run.threadId, GetCurrentThreadId());
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
}

TEST(Threads, HandleSignalsAtTheEndAndThenClosesItself) {
    uintptr_t started = _beginthread([](void *) { Sleep(200); }, 0, nullptr);
    ASSERT_NE(started, uintptr_t(-1));
    HANDLE handle = reinterpret_cast<HANDLE>(started);
    EXPECT_EQ(WaitForSingleObject(handle, 10), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(handle, INFINITE), DWORD(WAIT_OBJECT_0));
    EXPECT_TRUE(eventually([&] { return WaitForSingleObject(handle, 0) == WAIT_FAILED; }));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(Threads, EndThreadLeavesAtOnceAndUnwinds) {
    struct State {
        std::atomic<bool> unwound{false};
        std::atomic<bool> passedEnd{false};
    } state;
    struct Marker {
        State *state;
        ~Marker() { state->unwound = true; }
    };
    _beginthread(
        [](void *arg) {
            auto *s = static_cast<State *>(arg);
            Marker marker{s};
            _endthread();
            s->passedEnd = true;
        },
        0, &state);
    ASSERT_TRUE(eventually([&] { return state.unwound.load(); }));
    EXPECT_FALSE(state.passedEnd);
}

TEST(Threads, IdentifiersAreNotReused) {
    std::atomic<DWORD> first{0}, second{0};
    auto record = [](void *arg) { *static_cast<std::atomic<DWORD> *>(arg) = GetCurrentThreadId(); };
    _beginthread(record, 0, &first);
    ASSERT_TRUE(eventually([&] { return first != 0; }));
    Sleep(20); // the first thread has ended
    _beginthread(record, 0, &second);
    ASSERT_TRUE(eventually([&] { return second != 0; }));
    EXPECT_NE(first, second);
}

TEST(Threads, MissingStartFails) {
    errno = 0;
    EXPECT_EQ(_beginthread(nullptr, 0, nullptr), uintptr_t(-1));
    EXPECT_EQ(errno, EINVAL);
}

TEST(Threads, SleepAndTickCountKeepTime) {
    DWORD ticks = GetTickCount();
    auto start = Clock::now();
    Sleep(30);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_GE(GetTickCount() - ticks, 29u);
    Sleep(0); // yields
}

} // namespace
