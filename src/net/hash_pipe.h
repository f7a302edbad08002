// Hands the bytes of a download, in order, to consumers that each run on a thread of their own
// (the digests, which would otherwise hold up the reads of the network), through a few buffers
// of fixed size: the producer reads straight into the buffer being filled, and waits only when
// every buffer is still being read. A buffer goes to the consumers once full (or at the end):
// handing over each small read would cost more in waking threads than the digests themselves.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace net {

class HashPipe {
public:
    using Consumer = std::function<void(const uint8_t* data, size_t size)>;

    HashPipe(size_t slotBytes = 1u << 20, size_t slots = 8);
    ~HashPipe() { Finish(); }
    HashPipe(const HashPipe&) = delete;
    HashPipe& operator=(const HashPipe&) = delete;

    // Starts one thread per consumer; false (and no thread left running) when one can't start.
    bool Start(std::vector<Consumer> consumers);
    // Where the next bytes go: the free part of the buffer being filled, waiting for a buffer to
    // come free if need be; empty when no consumer runs. The bytes count once committed.
    std::span<uint8_t> Space();
    void Commit(size_t size);
    // Waits until every consumer has had every byte committed before, then ends the threads.
    void Finish();

private:
    struct Slot {
        std::vector<uint8_t> bytes;
        size_t size = 0;
    };
    void Run(size_t consumer);
    void Publish(); // hands the slot being filled to the consumers
    uint64_t OldestTaken() const;

    std::vector<Consumer> m_consumers;
    std::vector<Slot> m_slots;
    std::vector<uint64_t> m_taken; // per consumer: how many slots it has finished
    uint64_t m_published = 0;      // slots handed over so far (slot i % size holds the i-th)
    Slot* m_filling = nullptr;     // the producer's slot, not yet handed over
    bool m_finishing = false;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::thread> m_threads;
};

} // namespace net
