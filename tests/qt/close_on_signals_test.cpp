// The window's signal handling without a display: a signal closes the window and
// keeps errno, the earlier handler comes back with the closer, a second signal ends
// the program at once.
#include "qt/close_on_signals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <QWidget>
#include <cerrno>
#include <csignal>

namespace fw::qt {
namespace {

void Earlier(int) {}

TEST(CloseOnSignals, ASignalClosesTheWindowKeepsErrnoAndASecondEndsAtOnce) {
  struct sigaction earlier {};
  earlier.sa_handler = Earlier;
  struct sigaction saved {};
  sigaction(SIGHUP, &earlier, &saved);
  {
    QWidget window;
    window.show();
    const CloseOnSignals closer{window};
    errno = EAGAIN;
    std::raise(SIGHUP);
    EXPECT_EQ(errno, EAGAIN);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 5000));

    const pid_t child = fork();
    if (child == 0) {
      std::raise(SIGTERM);  // the second signal: the default action ends the child
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  }
  struct sigaction now {};
  sigaction(SIGHUP, nullptr, &now);
  EXPECT_EQ(now.sa_handler, &Earlier);
  sigaction(SIGHUP, &saved, nullptr);
}

}  // namespace
}  // namespace fw::qt
