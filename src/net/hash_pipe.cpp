#include "net/hash_pipe.h"

#include <algorithm>
#include <system_error>

namespace net {

HashPipe::HashPipe(size_t slotBytes, size_t slots) : m_slots(std::max<size_t>(slots, 1)) {
    for (Slot& slot : m_slots)
        slot.bytes.resize(std::max<size_t>(slotBytes, 1));
}

bool HashPipe::Start(std::vector<Consumer> consumers) {
    m_consumers = std::move(consumers);
    m_taken.assign(m_consumers.size(), 0);
    for (size_t i = 0; i < m_consumers.size(); ++i) {
        try {
            m_threads.emplace_back(&HashPipe::Run, this, i);
        } catch (const std::system_error&) {
            Finish();
            return false;
        }
    }
    return true;
}

uint64_t HashPipe::OldestTaken() const {
    return m_taken.empty() ? m_published : *std::min_element(m_taken.begin(), m_taken.end());
}

std::span<uint8_t> HashPipe::Space() {
    if (!m_filling) {
        std::unique_lock lock(m_lock);
        // Without threads (none started, or finished) nobody would ever free a slot.
        if (m_threads.empty() || m_finishing) return {};
        m_changed.wait(lock, [this] { return m_published - OldestTaken() < m_slots.size(); });
        // The slot is free: no consumer reads it until m_published counts it.
        m_filling = &m_slots[m_published % m_slots.size()];
        m_filling->size = 0;
    }
    return std::span(m_filling->bytes).subspan(m_filling->size);
}

void HashPipe::Commit(size_t size) {
    if (!m_filling) return;
    m_filling->size += std::min(size, m_filling->bytes.size() - m_filling->size);
    if (m_filling->size == m_filling->bytes.size()) Publish();
}

void HashPipe::Publish() {
    std::lock_guard lock(m_lock);
    m_filling = nullptr;
    ++m_published;
    m_changed.notify_all();
}

void HashPipe::Run(size_t consumer) {
    for (;;) {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [&] { return m_taken[consumer] < m_published || m_finishing; });
        if (m_taken[consumer] == m_published) return; // finishing, and everything taken
        const Slot& slot = m_slots[m_taken[consumer] % m_slots.size()];
        lock.unlock();
        m_consumers[consumer](slot.bytes.data(), slot.size);
        lock.lock();
        ++m_taken[consumer];
        m_changed.notify_all();
    }
}

void HashPipe::Finish() {
    if (m_filling) Publish();
    {
        std::lock_guard lock(m_lock);
        m_finishing = true;
        m_changed.notify_all();
    }
    for (std::thread& thread : m_threads)
        if (thread.joinable()) thread.join();
    m_threads.clear();
}

} // namespace net
