// Ending the program from outside without losing the keyword box: a desktop
// session that logs out, a shutdown or a terminal's Ctrl+C sends SIGTERM,
// SIGHUP or SIGINT, whose default is to die on the spot, before the exit
// save. These signals instead close the program as a confirmed close does,
// without the question (nobody would be there to answer it). The session
// manager's request to save its data runs the exit save at once.
#pragma once

#include <QObject>

class QApplication;

namespace brivano {

class MainWindow;

class ExitSignals : public QObject {
 public:
  // From here until destruction, each of the three signals ends every event
  // loop of the application, modal boxes' included, so that the main loop
  // returns and the window's destruction writes the keyword store.
  explicit ExitSignals(QApplication& application, MainWindow& window);
};

}  // namespace brivano
