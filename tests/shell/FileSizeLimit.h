#pragma once
// A real write failure for the tests of the file writers: while a TFileSizeLimit
// lives, no file of this process may grow past Bytes. A write across the limit
// fails with EFBIG (the signal that would end the process is ignored meanwhile),
// just as a write onto a full disk fails with ENOSPC.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &Old), 0);
    rlimit limit = Old;
    limit.rlim_cur = Bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, OldHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit Old{};
  void (*OldHandler)(int) = nullptr;
};
