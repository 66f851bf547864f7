#pragma once

// The product catalogue: one SQLite 3 file, Vestra.db, in the program folder, opened
// read-only for the whole run. The rest of the program reads it only through recordsets:
// a table or a SELECT text, walked forward record by record, each field read by name as
// a value that is a number, a text or Null.
//
// Faults of the store (a missing file, a file that is not a catalogue, a missing table or
// field, a statement the store rejects) are thrown as DatabaseError, a RuntimeError whose
// message names the file and the table or field at fault. Converting a Null field to a
// number or text raises the run-time error 94; a text that is not a number raises 13.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/errors.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vestra {

// Error numbers of the catalogue faults. They follow the data-access numbering that the
// program has always reported for these conditions, so a message seen by a user reads
// the same as before.
enum DatabaseErrorNumber : int {
  kDbFileNotFound = 3024,     // the catalogue file is not there
  kDbNoCurrentRecord = 3021,  // a field read past the last record (or on an empty result)
  kDbTableNotFound = 3078,    // the table or query names a table the catalogue lacks
  kDbFieldNotFound = 3265,    // a field name the recordset does not hold
  kDbNotACatalogue = 3343,    // the file is not an SQLite database, or lacks the version table
  kDbStatementFailed = 3000,  // any other fault the store reports
};

class DatabaseError : public RuntimeError {
 public:
  DatabaseError(int number, const std::string& message) : RuntimeError(number, message) {}
};

// A field's value as the store returns it: Null, a number or a text.
class FieldValue {
 public:
  FieldValue() = default;  // Null
  FieldValue(double number) : value_(number) {}
  FieldValue(int number) : value_(static_cast<double>(number)) {}
  FieldValue(std::string text) : value_(std::move(text)) {}
  FieldValue(const char* text) : value_(std::string(text)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsNumber() const { return std::holds_alternative<double>(value_); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }

  // The number itself: 94 on Null, 13 for a text that is not wholly a number.
  double ToDouble() const;
  // Nearest 16-bit / 32-bit integer, halves to even; 6 when it does not fit.
  std::int16_t ToInt16() const;
  std::int32_t ToInt32() const;
  // Single precision; 6 when it does not fit.
  float ToSingle() const;
  // The text, or a number written with "." and no needless digits; 94 on Null.
  std::string ToText() const;
  // The value appended to an empty text: as ToText, but a Null gives the empty text.
  std::string AppendedToEmptyText() const;

  bool operator==(const FieldValue& other) const = default;

 private:
  std::variant<std::monostate, double, std::string> value_;
};

class CatalogueStore;

// The records of one table or query, read forward. Field names are matched without
// regard to case.
class Recordset {
 public:
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;
  ~Recordset();

  void MoveFirst();
  bool IsEof() const { return eof_; }
  void MoveNext();
  void Close();

  // The field of the current record; DatabaseError naming the field and the source when
  // the recordset has no such field, or when there is no current record.
  FieldValue Field(std::string_view name) const;
  bool HasField(std::string_view name) const;
  const std::vector<std::string>& FieldNames() const { return names_; }

 private:
  friend class CatalogueStore;
  Recordset(const CatalogueStore* store, sqlite3_stmt* statement, std::string source);
  void Step();
  int ColumnOf(std::string_view name) const;

  const CatalogueStore* store_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
  std::string source_;
  std::vector<std::string> names_;
  bool eof_ = true;
};

class CatalogueStore {
 public:
  // Opens the file read-only and immutable (nothing is created beside it, no lock taken,
  // a folder the user cannot write will do) and checks that it is a catalogue (an SQLite
  // database with the table versione). DatabaseError naming the file when it is missing
  // or is not one.
  explicit CatalogueStore(const std::string& path);
  ~CatalogueStore();
  CatalogueStore(const CatalogueStore&) = delete;
  CatalogueStore& operator=(const CatalogueStore&) = delete;

  const std::string& path() const { return path_; }

  // A recordset from a table name or from a SELECT text. The parameters are bound to the
  // statement's placeholders ("?" in order): a value that comes from the user or from a
  // file is never written into the SQL text.
  Recordset OpenRecordset(const std::string& tableOrSelect,
                          const std::vector<FieldValue>& parameters = {}) const;

  bool HasTable(const std::string& table) const;

  // The data version: field versione of the first record of table versione. A missing
  // table, an empty table or a Null version is a DatabaseError.
  std::string ReadDataVersion() const;

 private:
  friend class Recordset;
  [[noreturn]] void Fail(int number, const std::string& what) const;
  [[noreturn]] void FailStatement(const std::string& source) const;

  std::string path_;
  sqlite3* db_ = nullptr;
};

}  // namespace vestra
