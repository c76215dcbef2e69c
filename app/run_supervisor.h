// Keeps a terminal's Ctrl-C from killing the browser under brivano-run.
// The terminal sends SIGINT to its whole foreground process group, and so
// does `timeout` with SIGTERM; Chromium's helper processes then die at once
// and the page in hand never arrives. The program therefore does its work
// in a child of its own process group, and the first process stays in the
// terminal's group only to hand each of these signals to that child.
#pragma once

#include <optional>

namespace brivano {

// In the first process: runs the child until it ends and returns the exit
// status to end with (the child's, or 128 plus the signal that killed it).
// In the child: returns std::nullopt, and the child goes on with the work.
// Without a child (fork failed) it returns std::nullopt as well.
std::optional<int> RunInChildProcessGroup();

}  // namespace brivano
