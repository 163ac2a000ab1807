#include "exchange/db/sqlite3d.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

namespace quillary::sqlite3d {
namespace {

class Sqlite3dTest : public ::testing::Test {
protected:
  void SetUp() override {
    db.Open(path, OpenMode::ReadWriteCreate);
    db.Execute("CREATE TABLE item (id INTEGER PRIMARY KEY, name TEXT UNIQUE, size INTEGER)");
  }

  test::TempDir dir;
  std::string path = dir / "test.sqlite";
  Connection db;
};

TEST_F(Sqlite3dTest, PreparedStatementIsReusedAcrossRowsWithNamedParameters) {
  const std::string names[] = {"plain",
                               "Gr\xC3\xBC\xC3\x9F"
                               "e \xE2\x82\xAC",
                               std::string("nul\0in", 6)};
  const std::int64_t sizes[] = {0, -1, 1LL << 40};
  std::int64_t lastIds[3] = {};
  {
    // The parameters are bound in the opposite order to their places in the text.
    Statement insert(db, "INSERT INTO item(name, size) VALUES(:name, :size)");
    for (int i = 0; i < 3; ++i) {
      insert.Reset();
      insert.Bind(":size", sizes[i]);
      insert.Bind(":name", names[i]);
      insert.Run();
      lastIds[i] = db.LastInsertRowId();
      EXPECT_EQ(db.Changes(), 1);
    }
  }
  EXPECT_LT(lastIds[0], lastIds[1]);
  EXPECT_LT(lastIds[1], lastIds[2]);

  Statement select(db, "SELECT size AS bytes, name, id FROM item ORDER BY id");
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.ColumnText("name"), names[i]);
    EXPECT_EQ(select.ColumnInt64("bytes"), sizes[i]);
    EXPECT_EQ(select.ColumnInt64("id"), lastIds[i]);
  }
  EXPECT_FALSE(select.Step());
}

TEST_F(Sqlite3dTest, ParametersLookedUpOnceBindEveryRow) {
  // Uncopied text is read when the statement runs, so each row's buffer must reach the table.
  const std::string names[] = {"first", "second", ""};
  {
    Statement insert(db, "INSERT INTO item(size, name) VALUES(:size, :name)");
    const Statement::Parameter size = insert.ParameterOf(":size");
    const Statement::Parameter name = insert.ParameterOf(":name");
    std::string buffer;
    for (int i = 0; i < 3; ++i) {
      insert.Reset();
      insert.Bind(size, std::int64_t{i});
      buffer = names[i];
      if (i == 2)
        insert.BindUncopied(name, std::string_view()); // no bytes at all: still empty text
      else
        insert.BindUncopied(name, buffer);
      insert.Run();
    }
    insert.Reset();
    insert.Bind(size, std::int64_t{3});
    insert.Bind(name, std::string("copied"));
    insert.Run();
  }
  Statement select(db, "SELECT name, typeof(name) AS kind FROM item ORDER BY size");
  for (const char* expected : {"first", "second", "", "copied"}) {
    SCOPED_TRACE(expected);
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.ColumnText("name"), expected);
    EXPECT_EQ(select.ColumnText("kind"), "text");
  }
  EXPECT_FALSE(select.Step());
}

TEST_F(Sqlite3dTest, NullReadsAsEmptyText) {
  Statement insert(db, "INSERT INTO item(name, size) VALUES(:name, NULL)");
  insert.BindNull(":name");
  insert.Run();
  Statement select(db, "SELECT name, size FROM item");
  ASSERT_TRUE(select.Step());
  EXPECT_TRUE(select.ColumnIsNull(0));
  EXPECT_EQ(select.ColumnText("name"), "");
  EXPECT_EQ(select.ColumnInt64("size"), 0);
}

TEST_F(Sqlite3dTest, ErrorsCarrySqliteMessage) {
  struct Case {
    const char* sql;
    const char* message;
    int code;
  };
  db.Execute("INSERT INTO item(name) VALUES('taken')");
  db.Execute("CREATE TRIGGER refuse BEFORE INSERT ON item WHEN NEW.name = 'refused' "
             "BEGIN SELECT RAISE(ABORT, 'refused by trigger'); END");
  const Case cases[] = {
      {"SELECT * FROM missing", "no such table: missing", SQLITE_ERROR},
      {"SELEC 1", "near \"SELEC\": syntax error", SQLITE_ERROR},
      {"INSERT INTO item(name) VALUES('taken')", "UNIQUE constraint failed: item.name",
       SQLITE_CONSTRAINT},
      {"INSERT INTO item(name) VALUES('refused')", "refused by trigger", SQLITE_CONSTRAINT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    try {
      Statement statement(db, c.sql);
      statement.Run();
      ADD_FAILURE() << "no error";
    } catch (const SqliteError& error) {
      EXPECT_STREQ(error.what(), c.message);
      EXPECT_EQ(error.Code(), c.code);
    }
    EXPECT_THROW(db.Execute(c.sql), SqliteError);
  }
}

TEST_F(Sqlite3dTest, UnknownParameterOrColumnIsAnError) {
  Statement insert(db, "INSERT INTO item(name) VALUES(:name)");
  EXPECT_THROW(insert.Bind("name", "no colon"), SqliteError);
  EXPECT_THROW(insert.Bind(":other", std::int64_t{1}), SqliteError);
  EXPECT_THROW(insert.ParameterOf(":other"), SqliteError);
  Statement select(db, "SELECT name FROM item");
  EXPECT_THROW(select.ColumnIndex("size"), SqliteError);
}

TEST_F(Sqlite3dTest, TransactionRollsBackUnlessCommitted) {
  {
    Transaction kept(db);
    db.Execute("INSERT INTO item(name) VALUES('kept')");
    kept.Commit();
  }
  {
    Transaction dropped(db);
    db.Execute("INSERT INTO item(name) VALUES('dropped by rollback')");
    dropped.Rollback();
  }
  try {
    Transaction unwound(db);
    db.Execute("INSERT INTO item(name) VALUES('dropped by unwinding')");
    throw Error("midway");
  } catch (const Error&) {
  }
  Statement select(db, "SELECT group_concat(name) AS names FROM item");
  ASSERT_TRUE(select.Step());
  EXPECT_EQ(select.ColumnText("names"), "kept");
}

TEST_F(Sqlite3dTest, HasColumnLooksAtTheNamedTable) {
  EXPECT_TRUE(db.HasColumn("item", "size"));
  EXPECT_TRUE(db.HasColumn("item", "SIZE"));
  EXPECT_FALSE(db.HasColumn("item", "guid"));
  EXPECT_FALSE(db.HasColumn("missing", "size"));
}

TEST_F(Sqlite3dTest, LockedDatabaseFailsAtOnce) {
  Connection other(path);
  other.Execute("BEGIN EXCLUSIVE");
  try {
    db.Execute("INSERT INTO item(name) VALUES('blocked')");
    ADD_FAILURE() << "no error";
  } catch (const SqliteError& error) {
    EXPECT_EQ(error.Code(), SQLITE_BUSY);
    EXPECT_STREQ(error.what(), "database is locked");
  }
  other.Execute("ROLLBACK");
}

TEST(Sqlite3dOpen, ModesDecideWhetherAFileIsCreatedOrWritten) {
  test::TempDir dir;
  const std::string missing = dir / "missing.sqlite";
  for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
    try {
      Connection db(missing, mode);
      ADD_FAILURE() << "opened a missing file";
    } catch (const SqliteError& error) {
      EXPECT_STREQ(error.what(), "unable to open database file");
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
  }

  {
    Connection created(missing, OpenMode::ReadWriteCreate);
    created.Execute("CREATE TABLE t (x)");
  }
  Connection readOnly(missing, OpenMode::ReadOnly);
  try {
    readOnly.Execute("INSERT INTO t VALUES(1)");
    ADD_FAILURE() << "wrote through a read-only connection";
  } catch (const SqliteError& error) {
    EXPECT_EQ(error.Code(), SQLITE_READONLY);
  }
}

TEST(Sqlite3dOpen, CloseRefusesWhileAStatementLivesAndStatementsNeedAnOpenDatabase) {
  test::TempDir dir;
  Connection db(dir / "x.sqlite", OpenMode::ReadWriteCreate);
  {
    Statement pending(db, "SELECT 1");
    EXPECT_THROW(db.Close(), SqliteError);
    EXPECT_TRUE(db.IsOpen());
  }
  db.Close();
  EXPECT_FALSE(db.IsOpen());
  EXPECT_THROW(Statement(db, "SELECT 1"), SqliteError);
  EXPECT_THROW(db.Execute("SELECT 1"), SqliteError);
}

} // namespace
} // namespace quillary::sqlite3d
