#pragma once

#include <functional>
#include <thread>
#include <vector>

// A view's layer runner for the tests: each piece of work on a thread of its own, all of them
// joined when it goes, so it must go before the view it serves.
struct workerThreads {
    std::vector<std::thread> threads;
    int started = 0;

    std::function<void(std::function<void()>)> runner() {
        return [this](std::function<void()> work) {
            ++started;
            threads.emplace_back(std::move(work));
        };
    }
    ~workerThreads() {
        for (std::thread& t : threads)
            t.join();
    }
};
