#include "app/run_supervisor.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace brivano {
namespace {

constexpr int kForwarded[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t childPid = 0;

void Forward(int signal) {
  const int savedErrno = errno;
  if (childPid > 0) ::kill(childPid, signal);
  errno = savedErrno;
}

}  // namespace

std::optional<int> RunInChildProcessGroup() {
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    ::setpgid(0, 0);
    // A first process that is killed outright still lets the run save.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::raise(SIGTERM);
    return std::nullopt;
  }
  childPid = child;
  struct sigaction action {};
  action.sa_handler = &Forward;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kForwarded) ::sigaction(signal, &action, nullptr);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return 1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace brivano
