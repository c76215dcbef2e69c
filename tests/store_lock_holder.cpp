// Another program that holds a store's write lock: store_lock_holder DB takes
// it, says "L" on standard output, and lets go once a byte (or the end)
// arrives on standard input. The recorder's tests lock it with a real
// process, as a user's other program would.
#include <sqlite3.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  sqlite3* db = nullptr;
  if (sqlite3_open(argv[1], &db) != SQLITE_OK ||
      sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    return 1;
  }
  std::fputs("L\n", stdout);
  std::fflush(stdout);
  std::getchar();
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return 0;
}
