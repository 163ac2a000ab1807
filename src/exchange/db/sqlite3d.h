#pragma once

#include "base/Error.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A small RAII layer over the SQLite C API. Text goes in and comes out as UTF-8 bytes; every
// failure is an SqliteError carrying SQLite's own message. No busy timeout is ever set, so a
// database locked by the running browser fails at once instead of hanging the program.
namespace quillary::sqlite3d {

class SqliteError : public Error {
public:
  SqliteError(int code, const std::string& message) : Error(message), code_(code) {}
  // SQLite's primary result code (SQLITE_BUSY, SQLITE_CONSTRAINT, ...).
  int Code() const { return code_; }

private:
  int code_;
};

enum class OpenMode {
  ReadOnly,
  // Never creates a file: a wrong path is an error, not a new empty database.
  ReadWrite,
  ReadWriteCreate,
};

// One database connection; closed by Close() or the destructor, whichever comes first.
class Connection {
public:
  Connection() = default;
  explicit Connection(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
  ~Connection();
  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void Open(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
  // Fails when statements of this connection are still alive; they must go first.
  void Close();
  bool IsOpen() const { return db_ != nullptr; }

  // Runs one or more statements without results ("begin transaction", schema scripts).
  void Execute(const std::string& sql);
  std::int64_t LastInsertRowId() const;
  // Rows changed by the last INSERT, UPDATE or DELETE.
  int Changes() const;
  // Whether the table exists and has the column (names compared as SQLite does).
  bool HasColumn(const std::string& table, const std::string& column);

  sqlite3* Handle() const { return db_; }

private:
  [[noreturn]] void Fail(int code) const;
  sqlite3* db_ = nullptr;
};

// One prepared statement, reusable across rows: bind, step until done, Reset, bind again.
// Traps kept in here: SQLite's bind indices start at 1, column indices at 0, and a parameter is
// found by its full name including the leading colon.
class Statement {
public:
  Statement(Connection& connection, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters by name, e.g. Bind(":title", text). Unknown names are an error.
  void Bind(const char* name, std::int64_t value);
  void Bind(const char* name, std::string_view utf8);
  void BindNull(const char* name);

  // A parameter looked up once, for a statement bound again for every row.
  struct Parameter {
    int index;
  };
  Parameter ParameterOf(const char* name) const;
  void Bind(Parameter parameter, std::int64_t value);
  void Bind(Parameter parameter, std::string_view utf8);
  // Binds without copying: the bytes must stay unchanged until the statement is bound again or
  // destroyed.
  void BindUncopied(Parameter parameter, std::string_view utf8);

  // Next result row: true while there is one, false when the statement is done.
  bool Step();
  // Runs a statement that returns no rows to its end.
  void Run();
  // Ready to run again; bindings are kept until rebound.
  void Reset();

  // Column of the current row by index (0-based) or by its result name.
  int ColumnIndex(std::string_view name) const;
  std::int64_t ColumnInt64(int index) const;
  std::string ColumnText(int index) const; // NULL reads as ""
  bool ColumnIsNull(int index) const;
  std::int64_t ColumnInt64(std::string_view name) const { return ColumnInt64(ColumnIndex(name)); }
  std::string ColumnText(std::string_view name) const { return ColumnText(ColumnIndex(name)); }
  int ColumnCount() const;

private:
  int ParameterIndex(const char* name) const;
  void Check(int code) const;
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

// Begins on construction; rolls back on destruction unless committed or rolled back before.
class Transaction {
public:
  explicit Transaction(Connection& connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();
  void Rollback();

private:
  Connection& connection_;
  bool open_ = true;
};

} // namespace quillary::sqlite3d
