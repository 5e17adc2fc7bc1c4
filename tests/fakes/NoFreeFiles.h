#pragma once

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

// While it lives, the process has no free file descriptor: every open() fails with EMFILE,
// the way a failing disk or a stale network handle makes a read fail on a file that is there.
class NoFreeFiles {
  public:
    NoFreeFiles() {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit low = saved_;
        low.rlim_cur = std::min<rlim_t>(saved_.rlim_cur, 512);
        ::setrlimit(RLIMIT_NOFILE, &low);
        for (int fd; (fd = ::dup(STDERR_FILENO)) >= 0;)
            held_.push_back(fd);
        exhausted_ = errno == EMFILE;
    }
    ~NoFreeFiles() {
        for (const int fd : held_)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &saved_);
    }
    bool exhausted() const { return exhausted_; }
    NoFreeFiles(const NoFreeFiles&) = delete;
    NoFreeFiles& operator=(const NoFreeFiles&) = delete;

  private:
    rlimit saved_{};
    std::vector<int> held_;
    bool exhausted_ = false;
};
