#include "model/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

int parallelSlots() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
}

void parallelFor(int count, int chunk, const std::function<void(int, int, int)>& work,
                 const std::function<void(int)>& progress) {
    if (count <= 0)
        return;
    chunk = std::max(1, chunk);
    const int chunks = (count + chunk - 1) / chunk;
    const int helpers = std::min(chunks - 1, parallelSlots() - 1);
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    const auto runChunks = [&](int slot) {
        for (int c = next++; c < chunks; c = next++) {
            const int begin = c * chunk, end = std::min(count, begin + chunk);
            work(begin, end, slot);
            const int finished = done += end - begin;
            if (slot == 0 && progress)
                progress(finished);
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(std::max(0, helpers)));
    for (int k = 0; k < helpers; ++k)
        threads.emplace_back(runChunks, k + 1);
    runChunks(0);
    for (std::thread& t : threads)
        t.join();
}
