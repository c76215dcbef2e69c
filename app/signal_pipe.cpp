#include "app/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace brivano {
namespace {

int signalPipe[2] = {-1, -1};

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> signalNumbers, std::function<void(int)> received,
                       QObject* parent)
    : QObject(parent), signals_(signalNumbers), received_(std::move(received)) {
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalPipe::Read);
  struct sigaction action {};
  action.sa_handler = &SignalPipe::OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : signals_) ::sigaction(signal, &action, nullptr);
}

SignalPipe::~SignalPipe() {
  for (const int signal : signals_) std::signal(signal, SIG_DFL);
}

void SignalPipe::OnSignal(int signal) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(signal);
  // A full pipe holds signals enough to act on; one more changes nothing.
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = savedErrno;
}

void SignalPipe::Read() {
  char bytes[16];
  ssize_t count = 0;
  while ((count = ::read(signalPipe[0], bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < count; ++i) received_(static_cast<unsigned char>(bytes[i]));
  }
}

}  // namespace brivano
