// A thin RAII layer over the SQLite C library: a connection, a prepared
// statement and a transaction guard. Every failure becomes a SqliteError that
// keeps SQLite's (extended) result code, so that callers can tell a locked
// database from a full disk without parsing texts.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brivano::sql {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  // The extended result code; primary() strips it to SQLITE_BUSY, ...
  int code() const { return code_; }
  int primary() const { return code_ & 0xFF; }

 private:
  int code_;
};

class Statement;

class Connection {
 public:
  // Opens (and with SQLITE_OPEN_CREATE creates) a database file.
  explicit Connection(const std::filesystem::path& path,
                      int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  ~Connection();
  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Runs one or more statements that return no rows worth reading.
  void Execute(const std::string& sql);
  Statement Prepare(std::string_view sql);
  // The first column of the first row of a query (PRAGMA user_version, ...).
  std::int64_t QueryInt64(std::string_view sql);
  void SetBusyTimeout(int milliseconds);
  std::int64_t LastInsertRowId() const;
  sqlite3* handle() const { return db_; }

  // Throws SqliteError for `code` with the connection's message.
  [[noreturn]] void Fail(int code) const;

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(const Connection& connection, std::string_view sql);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&&) = delete;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters count from 1, as in SQLite. Text and blobs are copied by
  // SQLite (SQLITE_TRANSIENT), so the arguments need not outlive the call.
  Statement& Bind(int index, std::int64_t value);
  Statement& BindText(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes);
  Statement& BindNull(int index);

  // Advances to the next row: true while there is one, false once done.
  bool Step();
  // Ready for new bindings and a new first Step.
  void Reset();

  // Columns count from 0. Views stay valid until the next Step or Reset.
  std::int64_t ColumnInt64(int index) const;
  std::string_view ColumnBytes(int index) const;  // text or blob, as stored
  bool ColumnIsNull(int index) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
  const Connection* connection_;
};

// BEGIN IMMEDIATE on construction: the write lock is taken up front, so a
// busy database fails here rather than half-way through. Rolls back unless
// Commit ran.
class Transaction {
 public:
  explicit Transaction(Connection& connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Connection& connection_;
  bool open_ = true;
};

}  // namespace brivano::sql
