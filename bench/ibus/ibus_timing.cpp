// tavo-ibus-timing: how long keys take from an application through
// ibus-daemon to the tavo-vexa engine and back. It types nei5hou2, Space
// and 1 over and over and prints the median and 99th percentile of the
// time from sending a key event to the engine's answer, and of the time
// from sending the choosing key to the commit signal (bench/module_bench
// has the module's own time per key, to set beside it). Run it against a
// daemon of its own:
//
//   dbus-run-session -- bash frontends/ibus/private_ibus.sh
//       build/linux/frontends/ibus/component build/linux/bench/tavo-ibus-timing [ROUNDS]
//
// (one command line).
#include "frontends/ibus/client.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ibus_client::Clock;

double microseconds(Clock::duration span) {
    return std::chrono::duration<double, std::micro>(span).count();
}

double percentile(std::vector<double> times, double share) {
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[std::min(times.size() - 1, size_t(share * times.size()))];
}

void print(const char *what, const std::vector<double> &times) {
    std::printf("%-32s median %8.1f us   p99 %8.1f us   (%zu)\n", what, percentile(times, 0.5),
                percentile(times, 0.99), times.size());
}

} // namespace

int main(int argc, char **argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    ibus_client::Client client;
    std::string error;
    if (rounds <= 0 || !client.connect("tavo-vexa", error)) {
        std::fprintf(stderr, "tavo-ibus-timing: %s\n",
                     rounds <= 0 ? "usage: tavo-ibus-timing [ROUNDS]" : error.c_str());
        return 1;
    }
    std::vector<double> answers, commits;
    auto timed = [&](ibus_client::Key key, unsigned state) {
        Clock::time_point start = Clock::now();
        client.send(key, state);
        answers.push_back(microseconds(Clock::now() - start));
        return start;
    };
    const int warmUp = 5;
    for (int round = 0; round < rounds + warmUp; ++round) {
        if (round == warmUp)
            answers.clear();
        for (char c : std::string("nei5hou2 ")) {
            timed(ibus_client::keyFor(c), 0);
            timed(ibus_client::keyFor(c), IBUS_RELEASE_MASK);
        }
        int before = client.shown().commits;
        Clock::time_point start = timed(ibus_client::keyFor('1'), 0);
        if (!client.waitUntil([&] { return client.shown().commits > before; })) {
            std::fprintf(stderr, "tavo-ibus-timing: no commit in round %d\n", round);
            return 1;
        }
        if (round >= warmUp)
            commits.push_back(microseconds(client.shown().lastCommit - start));
        timed(ibus_client::keyFor('1'), IBUS_RELEASE_MASK);
    }
    print("key event to the engine's answer", answers);
    print("choosing key to commit signal", commits);
    return 0;
}
