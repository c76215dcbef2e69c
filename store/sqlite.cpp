#include "store/sqlite.h"

#include <cerrno>
#include <utility>

namespace brivano::sql {
namespace {

std::string MessageOf(sqlite3* db, int code) {
  std::string text = sqlite3_errstr(code);
  if (db != nullptr && sqlite3_extended_errcode(db) == code) {
    const char* detail = sqlite3_errmsg(db);
    if (detail != nullptr && text != detail) text.append(": ").append(detail);
  }
  return text;
}

}  // namespace

Connection::Connection(const std::filesystem::path& path, int flags) {
  const int code = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    const int extended = db_ != nullptr ? sqlite3_extended_errcode(db_) : code;
    SqliteError error(extended, MessageOf(db_, extended));
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw error;
  }
  sqlite3_extended_result_codes(db_, 1);
}

Connection::~Connection() {
  // Every statement is finalised by its own destructor first, so close_v2
  // has nothing left to wait for.
  if (db_ != nullptr) sqlite3_close_v2(db_);
}

Connection::Connection(Connection&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

void Connection::Fail(int code) const {
  // A write that found no room is often reported as an I/O error (a WAL
  // file that cannot grow, a failed fsync): the system's errno tells a full
  // disk or an exhausted quota from a failing one.
  if ((code & 0xFF) == SQLITE_IOERR) {
    const int system = sqlite3_system_errno(db_);
    if (system == ENOSPC || system == EDQUOT) code = SQLITE_FULL;
  }
  throw SqliteError(code, MessageOf(db_, code));
}

void Connection::Execute(const std::string& sql) {
  const int code = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) Fail(sqlite3_extended_errcode(db_));
}

Statement Connection::Prepare(std::string_view sql) {
  return Statement(*this, sql);
}

std::int64_t Connection::QueryInt64(std::string_view sql) {
  Statement statement(*this, sql);
  return statement.Step() ? statement.ColumnInt64(0) : 0;
}

void Connection::SetBusyTimeout(int milliseconds) {
  sqlite3_busy_timeout(db_, milliseconds);
}

std::int64_t Connection::LastInsertRowId() const {
  return sqlite3_last_insert_rowid(db_);
}

Statement::Statement(const Connection& connection, std::string_view sql)
    : connection_(&connection) {
  const int code = sqlite3_prepare_v3(connection.handle(), sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
  if (code != SQLITE_OK) connection.Fail(sqlite3_extended_errcode(connection.handle()));
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), connection_(other.connection_) {}

Statement& Statement::Bind(int index, std::int64_t value) {
  const int code = sqlite3_bind_int64(stmt_, index, value);
  if (code != SQLITE_OK) connection_->Fail(code);
  return *this;
}

Statement& Statement::BindText(int index, std::string_view text) {
  const int code =
      sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (code != SQLITE_OK) connection_->Fail(code);
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob from an empty view would bind NULL with a null
  // pointer; "" keeps it an empty blob.
  const char* data = bytes.empty() ? "" : bytes.data();
  const int code = sqlite3_bind_blob64(stmt_, index, data, bytes.size(), SQLITE_TRANSIENT);
  if (code != SQLITE_OK) connection_->Fail(code);
  return *this;
}

Statement& Statement::BindNull(int index) {
  const int code = sqlite3_bind_null(stmt_, index);
  if (code != SQLITE_OK) connection_->Fail(code);
  return *this;
}

bool Statement::Step() {
  const int code = sqlite3_step(stmt_);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  // The statement must be reset before the connection is used again; the
  // reset returns the same error, which is reported instead.
  sqlite3_reset(stmt_);
  connection_->Fail(sqlite3_extended_errcode(connection_->handle()));
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::ColumnInt64(int index) const {
  return sqlite3_column_int64(stmt_, index);
}

std::string_view Statement::ColumnBytes(int index) const {
  // Blob first: asking for the text of a blob would not convert, but asking
  // for the size after the pointer is the order SQLite documents.
  const void* data = sqlite3_column_blob(stmt_, index);
  const int size = sqlite3_column_bytes(stmt_, index);
  if (data == nullptr) return {};
  return std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

bool Statement::ColumnIsNull(int index) const {
  return sqlite3_column_type(stmt_, index) == SQLITE_NULL;
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
  connection_.Execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (open_) sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
  connection_.Execute("COMMIT");
  open_ = false;
}

}  // namespace brivano::sql
