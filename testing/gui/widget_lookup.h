// Finds a window's controls by their object names, as a newcomer reading the
// window's layout would name them.
#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <cstdlib>

namespace brivano::testing {

template <typename T>
T* Find(const QObject& root, const char* objectName) {
  T* found = root.findChild<T*>(QString::fromLatin1(objectName));
  if (found == nullptr) {
    ADD_FAILURE() << "no control named " << objectName;
    std::abort();
  }
  return found;
}

}  // namespace brivano::testing
