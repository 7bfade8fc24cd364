#include "platform/sql/SilentServerWatch.h"

SilentServerWatch::SilentServerWatch(std::chrono::milliseconds limit,
                                     std::function<void()> onSilence)
    : m_limit(limit), m_onSilence(std::move(onSilence)), m_last(std::chrono::steady_clock::now()),
      m_thread([this] { watch(); })
{
}

SilentServerWatch::~SilentServerWatch()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SilentServerWatch::beat()
{
    const std::lock_guard lock(m_mutex);
    m_last = std::chrono::steady_clock::now();
}

void SilentServerWatch::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        const auto deadline = m_last + m_limit;
        if (std::chrono::steady_clock::now() >= deadline) {
            lock.unlock();
            m_onSilence();
            return;
        }
        m_wake.wait_until(lock, deadline);
    }
}
