#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, no file of the process grows past `bytes`: a write past it fails with EFBIG,
// the way a full disk makes a save fail (SIGXFSZ is ignored meanwhile, so the write reports it).
class FullDisk {
  public:
    explicit FullDisk(rlim_t bytes = 64) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = saved_;
        low.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FullDisk() { freed(); }
    // Space is back.
    void freed() {
        if (done_) return;
        done_ = true;
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
    bool done_ = false;
};
