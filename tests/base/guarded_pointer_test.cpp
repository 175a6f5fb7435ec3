// The pointer another thread calls through while its owner may withdraw and destroy the object:
// run under AddressSanitizer, a call that reached a destroyed object is a failure.
#include "base/guarded_pointer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// Counts calls that have begun, so the owner can destroy the object while one is under way.
std::atomic<long> g_entered{0};

struct Launcher {
    int calls = 0;
    bool alive = true;
    char address[4096] = {};
    ~Launcher() { alive = false; }
    // Takes a while and writes into the object, as the login check copies the address: under
    // AddressSanitizer a call still running when the object is freed is reported.
    bool Check() {
        ++g_entered;
        ++calls;
        for (std::size_t i = 0; i < sizeof address; ++i) address[i] = char(i + calls);
        return alive;
    }
};

TEST(GuardedPointer, CallsReachTheObjectOnlyWhileItIsSet) {
    korvex::GuardedPointer<Launcher> pointer;
    auto check = [](Launcher& l) { return l.Check(); };
    EXPECT_FALSE(pointer.With(check, false));
    Launcher launcher;
    pointer.Set(&launcher);
    EXPECT_TRUE(pointer.With(check, false));
    EXPECT_EQ(launcher.calls, 1);
    pointer.Withdraw();
    EXPECT_FALSE(pointer.With(check, false));
    EXPECT_EQ(launcher.calls, 1);
    EXPECT_TRUE(pointer.empty());
}

TEST(GuardedPointer, WithdrawingAnotherObjectLeavesTheCurrentOne) {
    korvex::GuardedPointer<Launcher> pointer;
    Launcher first, second;
    pointer.Set(&second);
    pointer.Withdraw(&first);  // an older owner going late
    EXPECT_FALSE(pointer.empty());
    pointer.Withdraw(&second);
    EXPECT_TRUE(pointer.empty());
}

TEST(GuardedPointer, OwnerDestroysWhileAnotherThreadKeepsCalling) {
    korvex::GuardedPointer<Launcher> pointer;
    std::atomic<bool> stop{false};
    std::atomic<long> answered{0};
    std::thread caller([&] {
        while (!stop) {
            const bool alive = pointer.With([](Launcher& l) { return l.Check(); }, true);
            EXPECT_TRUE(alive) << "a call reached a destroyed launcher";
            ++answered;
        }
    });
    for (int round = 0; round < 2000; ++round) {
        auto launcher = std::make_unique<Launcher>();
        const long before = g_entered;
        pointer.Set(launcher.get());
        // Withdraw while a call is most likely inside the object.
        for (int spin = 0; spin < 100000 && g_entered == before; ++spin) std::this_thread::yield();
        pointer.Withdraw(launcher.get());
        launcher.reset();  // no call may still be running in it, and none may start
    }
    stop = true;
    caller.join();
    EXPECT_GT(answered.load(), 0);
}

}  // namespace
