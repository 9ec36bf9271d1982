// The threads that answer a server's connections: started as they are needed,
// up to a cap, and kept for the server's life, so a connection costs a thread
// a wake-up rather than a start (several milliseconds under Wine).
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

class ConnectionPool {
  public:
    // serve answers one connection and closes or hands it on; it runs on the
    // pool's threads, cap of them at most, one connection each at a time.
    ConnectionPool(unsigned cap, std::function<void(uintptr_t)> serve);
    ~ConnectionPool(); // stops it
    ConnectionPool(const ConnectionPool &) = delete;
    ConnectionPool &operator=(const ConnectionPool &) = delete;

    // Gives the connection to an idle thread, starting one when every thread
    // is busy. False when cap connections are being answered already, or no
    // thread can be started: the caller keeps the connection and refuses it.
    // Called from one thread only (the accepting one).
    bool Admit(uintptr_t connection);
    // Wakes every thread and waits for it to end; the connections no thread
    // took up yet are returned, for the caller to close.
    std::vector<uintptr_t> Stop();

  private:
    void Work();

    const unsigned cap_;
    const std::function<void(uintptr_t)> serve_;
    // The slim lock and condition variable of the system: waking a thread
    // through them costs a fraction of what the C++ library's do under Wine.
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE wake_ = CONDITION_VARIABLE_INIT;
    std::deque<uintptr_t> waiting_; // admitted, not yet taken up
    unsigned inService_ = 0;        // admitted and not yet answered
    bool stopping_ = false;
    std::vector<std::thread> threads_; // only the admitting thread and Stop() touch it
};
