#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A server that stops answering (its process stopped, a network that drops
// packets without a reset) holds a statement in the driver's read for ever:
// the server's own time-out never fires, and a cancel request goes to the same
// silent server. This watch runs beside the work: when beat() has not been
// called for `limit`, it calls `onSilence` from its own thread, where the
// caller ends the run. Destroying it stops the watch.
class SilentServerWatch
{
public:
    SilentServerWatch(std::chrono::milliseconds limit, std::function<void()> onSilence);
    ~SilentServerWatch();
    SilentServerWatch(const SilentServerWatch&) = delete;
    SilentServerWatch& operator=(const SilentServerWatch&) = delete;

    // The work made progress: the server answered.
    void beat();

private:
    void watch();

    std::chrono::milliseconds m_limit;
    std::function<void()> m_onSilence;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::chrono::steady_clock::time_point m_last;
    bool m_stop = false;
    std::thread m_thread;
};
