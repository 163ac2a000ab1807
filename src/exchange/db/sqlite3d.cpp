#include "exchange/db/sqlite3d.h"

#include <sqlite3.h>

#include <utility>

namespace quillary::sqlite3d {

namespace {

int OpenFlags(OpenMode mode) {
  switch (mode) {
  case OpenMode::ReadOnly:
    return SQLITE_OPEN_READONLY;
  case OpenMode::ReadWrite:
    return SQLITE_OPEN_READWRITE;
  case OpenMode::ReadWriteCreate:
    break;
  }
  return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
}

} // namespace

Connection::Connection(const std::string& path, OpenMode mode) {
  Open(path, mode);
}

Connection::~Connection() {
  // sqlite3_close_v2 defers the close until the last statement is finalised, so a destructor
  // running during unwinding never fails.
  if (db_)
    sqlite3_close_v2(db_);
}

Connection::Connection(Connection&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    if (db_)
      sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

void Connection::Open(const std::string& path, OpenMode mode) {
  // The program never asks SQLite for its memory statistics; kept, they take a process-wide lock
  // around every allocation. Only possible before SQLite's first use, so done once here.
  static const bool withoutMemoryStatistics = [] {
    return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
  }();
  (void)withoutMemoryStatistics;
  Close();
  sqlite3* db = nullptr;
  // One connection is used by one thread at a time, so SQLite's per-call locking is not needed.
  const int code =
      sqlite3_open_v2(path.c_str(), &db, OpenFlags(mode) | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    sqlite3_close(db);
    throw SqliteError(code, message);
  }
  sqlite3_extended_result_codes(db, 0);
  db_ = db;
}

void Connection::Close() {
  if (!db_)
    return;
  const int code = sqlite3_close(db_);
  if (code != SQLITE_OK)
    Fail(code);
  db_ = nullptr;
}

void Connection::Fail(int code) const {
  throw SqliteError(code, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
}

void Connection::Execute(const std::string& sql) {
  if (!db_)
    throw SqliteError(SQLITE_MISUSE, "The database is not open.");
  char* message = nullptr;
  const int code = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  if (code != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errstr(code);
    sqlite3_free(message);
    throw SqliteError(code, text);
  }
}

std::int64_t Connection::LastInsertRowId() const {
  return sqlite3_last_insert_rowid(db_);
}

int Connection::Changes() const {
  return sqlite3_changes(db_);
}

bool Connection::HasColumn(const std::string& table, const std::string& column) {
  Statement info(*this, "SELECT 1 FROM pragma_table_info(:table) WHERE name = :column COLLATE "
                        "NOCASE");
  info.Bind(":table", table);
  info.Bind(":column", column);
  return info.Step();
}

Statement::Statement(Connection& connection, std::string_view sql) : db_(connection.Handle()) {
  if (!db_)
    throw SqliteError(SQLITE_MISUSE, "The database is not open.");
  const int code =
      sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr);
  if (code != SQLITE_OK)
    throw SqliteError(code, sqlite3_errmsg(db_));
  if (!statement_) // only blanks or a comment
    throw SqliteError(SQLITE_MISUSE, "The statement text is empty.");
}

Statement::~Statement() {
  sqlite3_finalize(statement_);
}

void Statement::Check(int code) const {
  if (code != SQLITE_OK)
    throw SqliteError(code, sqlite3_errmsg(db_));
}

int Statement::ParameterIndex(const char* name) const {
  const int index = sqlite3_bind_parameter_index(statement_, name);
  if (index == 0)
    throw SqliteError(SQLITE_RANGE, std::string("No parameter named ") + name + ".");
  return index;
}

Statement::Parameter Statement::ParameterOf(const char* name) const {
  return {ParameterIndex(name)};
}

void Statement::Bind(const char* name, std::int64_t value) {
  Bind(ParameterOf(name), value);
}

void Statement::Bind(const char* name, std::string_view utf8) {
  Bind(ParameterOf(name), utf8);
}

void Statement::Bind(Parameter parameter, std::int64_t value) {
  Check(sqlite3_bind_int64(statement_, parameter.index, value));
}

void Statement::Bind(Parameter parameter, std::string_view utf8) {
  // SQLITE_TRANSIENT: SQLite copies the bytes, so the caller's buffer may go right after.
  Check(sqlite3_bind_text64(statement_, parameter.index, utf8.data(), utf8.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8));
}

void Statement::BindUncopied(Parameter parameter, std::string_view utf8) {
  // A view without bytes is still text: SQLite would bind a null pointer as NULL.
  static constexpr char empty[] = "";
  Check(sqlite3_bind_text64(statement_, parameter.index, utf8.data() ? utf8.data() : empty,
                            utf8.size(), SQLITE_STATIC, SQLITE_UTF8));
}

void Statement::BindNull(const char* name) {
  Check(sqlite3_bind_null(statement_, ParameterIndex(name)));
}

bool Statement::Step() {
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW)
    return true;
  if (code == SQLITE_DONE)
    return false;
  // The statement must be reset before the connection's message names the real fault (a
  // constraint or a RAISE of a trigger rather than a bare "SQL logic error").
  sqlite3_reset(statement_);
  throw SqliteError(code, sqlite3_errmsg(db_));
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(statement_);
}

int Statement::ColumnCount() const {
  return sqlite3_column_count(statement_);
}

int Statement::ColumnIndex(std::string_view name) const {
  const int count = sqlite3_column_count(statement_);
  for (int i = 0; i < count; ++i)
    if (name == sqlite3_column_name(statement_, i))
      return i;
  throw SqliteError(SQLITE_RANGE, "No column named " + std::string(name) + ".");
}

std::int64_t Statement::ColumnInt64(int index) const {
  return sqlite3_column_int64(statement_, index);
}

std::string Statement::ColumnText(int index) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
  if (!text)
    return {};
  return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, index)));
}

bool Statement::ColumnIsNull(int index) const {
  return sqlite3_column_type(statement_, index) == SQLITE_NULL;
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
  connection_.Execute("begin transaction");
}

Transaction::~Transaction() {
  if (!open_)
    return;
  try {
    connection_.Execute("rollback transaction");
  } catch (const Error&) {
    // SQLite may already have rolled the transaction back itself after an I/O error.
  }
}

void Transaction::Commit() {
  connection_.Execute("commit transaction");
  open_ = false;
}

void Transaction::Rollback() {
  open_ = false;
  connection_.Execute("rollback transaction");
}

} // namespace quillary::sqlite3d
