#pragma once
// Waiting in window tests: the event loop runs until a condition holds, at
// most a bounded time, so a behaviour that never comes fails the test
// instead of hanging it.

#include <QTest>

#include <chrono>

namespace zavrio::test {

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QTest::qWait(10);
    }
    return true;
}

} // namespace zavrio::test
