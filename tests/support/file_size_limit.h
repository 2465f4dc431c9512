#pragma once
// A limit on the size of every file this process writes, for as long as the object lives:
// a write past it fails with "File too large", even for root.
#include <csignal>
#include <sys/resource.h>

namespace qb::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : old_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        set_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool in_force() const { return set_; }

private:
    rlimit old_{};
    void (*old_handler_)(int);
    bool set_ = false;
};

} // namespace qb::test
