// Share modes of files between handles and between processes.
#include "platform/platform.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace {

constexpr DWORD R = GENERIC_READ, W = GENERIC_WRITE, RW = R | W;
constexpr DWORD SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE, SRW = SR | SW;

HANDLE open(const std::string &path, DWORD access, DWORD share, DWORD creation = OPEN_ALWAYS) {
    return CreateFileA(path.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The lock helper program, run as a second process with pipes to its
// input and output.
class Helper {
public:
    Helper(const char *command, const std::string &path, const char *access, const char *share) {
        int input[2], output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(input[0], 0);
            dup2(output[1], 1);
            execl(TAVO_TEST_HELPER, TAVO_TEST_HELPER, command, path.c_str(), access, share,
                  nullptr);
            _exit(127);
        }
        close(input[0]);
        close(output[1]);
        toHelper_ = input[1];
        fromHelper_ = output[0];
    }

    ~Helper() {
        closeInput();
        if (pid_ > 0)
            waitpid(pid_, nullptr, 0);
        if (fromHelper_ >= 0)
            close(fromHelper_);
    }

    // The next line the helper prints, or "timeout".
    std::string line() {
        std::string text;
        char c;
        while (true) {
            pollfd ready = {fromHelper_, POLLIN, 0};
            if (poll(&ready, 1, 10000) <= 0 || read(fromHelper_, &c, 1) != 1)
                return "timeout";
            if (c == '\n')
                return text;
            text += c;
        }
    }

    void send(const std::string &text) {
        std::string withEnd = text + "\n";
        ASSERT_EQ(write(toHelper_, withEnd.data(), withEnd.size()), ssize_t(withEnd.size()));
    }

    void closeInput() {
        if (toHelper_ >= 0)
            close(toHelper_);
        toHelper_ = -1;
    }

    void kill() {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int toHelper_ = -1;
    int fromHelper_ = -1;
};

std::string sharingViolation() {
    return "error " + std::to_string(ERROR_SHARING_VIOLATION);
}

class Sharing : public ::testing::Test {
protected:
    std::string path() const { return folder.file("shared"); }

    ScratchFolder folder;
};

TEST_F(Sharing, FollowsTheWindowsMatrixWithinAProcess) {
    struct Case {
        DWORD firstAccess, firstShare, secondAccess, secondShare;
        bool coexist;
    } cases[] = {
        {R, 0, R, SRW, false},  // no sharing excludes everyone
        {R, SR, R, SR, true},   // readers sharing reading
        {R, SR, W, SRW, false}, // a reader refusing writers
        {R, SR, RW, SR, false},
        {R, SRW, W, SRW, true},
        {W, SR, R, SR, false}, // the reader refuses the writer already there
        {W, SR, R, SW, true},
        {R, SR, R, 0, false}, // the newcomer refuses the reader already there
        {W, SW, W, SW, true},
        {RW, SRW, R, SR, false},
        {0, 0, RW, 0, true}, // a handle without data access takes no part
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.firstAccess << "/" << c.firstShare
                                        << " then " << c.secondAccess << "/" << c.secondShare);
        HANDLE first = open(path(), c.firstAccess, c.firstShare);
        ASSERT_NE(first, INVALID_HANDLE_VALUE);
        HANDLE second = open(path(), c.secondAccess, c.secondShare);
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.coexist);
        if (second == INVALID_HANDLE_VALUE)
            EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
        else
            CloseHandle(second);
        CloseHandle(first);
        // Closing releases everything.
        HANDLE alone = open(path(), RW, 0);
        EXPECT_NE(alone, INVALID_HANDLE_VALUE);
        CloseHandle(alone);
    }
}

TEST_F(Sharing, RefusedOpenDoesNotTruncate) {
    HANDLE writer = open(path(), RW, SR);
    DWORD written = 0;
    WriteFile(writer, "data", 4, &written, nullptr);
    EXPECT_EQ(open(path(), W, SRW, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(open(path(), W, SRW, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(writer, nullptr), 4u);
    CloseHandle(writer);
}

TEST_F(Sharing, HoldsAcrossProcesses) {
    HANDLE mine = open(path(), R, SR);
    ASSERT_NE(mine, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Helper("open", path(), "rw", "rw").line(), sharingViolation());
    EXPECT_EQ(Helper("open", path(), "r", "r").line(), "ok");
    CloseHandle(mine);
    EXPECT_EQ(Helper("open", path(), "rw", "-").line(), "ok");

    Helper holder("hold", path(), "rw", "-");
    ASSERT_EQ(holder.line(), "ready");
    EXPECT_EQ(open(path(), R, SRW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
}

TEST_F(Sharing, ReleasedWhenTheOtherProcessClosesOrDies) {
    Helper closer("hold", path(), "r", "r");
    ASSERT_EQ(closer.line(), "ready");
    EXPECT_EQ(open(path(), RW, 0), INVALID_HANDLE_VALUE);
    closer.send("close");
    ASSERT_EQ(closer.line(), "closed");
    HANDLE alone = open(path(), RW, 0);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE);
    CloseHandle(alone);

    Helper victim("hold", path(), "rw", "-");
    ASSERT_EQ(victim.line(), "ready");
    EXPECT_EQ(open(path(), R, SRW), INVALID_HANDLE_VALUE);
    victim.kill();
    alone = open(path(), RW, 0);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE);
    CloseHandle(alone);
}

} // namespace
