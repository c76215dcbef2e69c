// Signals handled on the event loop's thread: the handler only writes the
// signal's number into a pipe (all a signal handler may safely do), and a
// notifier reads it there and hands it on.
#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace brivano {

class SignalPipe : public QObject {
 public:
  // From here until destruction, each of `signalNumbers` calls `received` with its
  // number instead of its default action.
  SignalPipe(std::initializer_list<int> signalNumbers, std::function<void(int signal)> received,
             QObject* parent = nullptr);
  ~SignalPipe() override;
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

 private:
  static void OnSignal(int signal);
  void Read();

  std::vector<int> signals_;
  std::function<void(int)> received_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace brivano
