#include "data/store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "engine/numeric.h"

namespace vestra {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// A bare table name, as opposed to a statement: one word of letters, digits and "_".
bool IsTableName(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  });
}

// The name that follows a prefix such as "no such table: " in a message of the store.
std::string NameAfter(const std::string& message, const std::string& prefix) {
  const auto at = message.find(prefix);
  if (at == std::string::npos) return {};
  std::string name = message.substr(at + prefix.size());
  const auto end = name.find_first_of(" \t\r\n");
  return end == std::string::npos ? name : name.substr(0, end);
}

// The file: URI of a path, for opening it with query parameters: the absolute path
// with every byte but letters, digits, "-._~" and "/" percent-encoded, so that a "?",
// "#" or "%" in a folder name stays part of the name.
std::string CatalogueUri(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) absolute = path;
  std::string uri = "file://";
  if (absolute.string().empty() || absolute.string().front() != '/') uri += '/';
  static const char* kHex = "0123456789ABCDEF";
  for (const char c : absolute.generic_string()) {
    const auto b = static_cast<unsigned char>(c);
    const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                            c == '~' || c == '/';
    if (unreserved) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[b >> 4];
      uri += kHex[b & 0x0F];
    }
  }
  return uri;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// FieldValue

double FieldValue::ToDouble() const {
  if (IsNull()) Raise(kInvalidUseOfNull);
  if (IsNumber()) return std::get<double>(value_);
  const std::string_view text = Trimmed(std::get<std::string>(value_));
  double number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    Raise(kTypeMismatch);
  }
  return number;
}

std::int16_t FieldValue::ToInt16() const {
  return CInt(ToDouble());
}

std::int32_t FieldValue::ToInt32() const {
  return CLng(ToDouble());
}

float FieldValue::ToSingle() const {
  return Sng(ToDouble());
}

std::string FieldValue::ToText() const {
  if (IsNull()) Raise(kInvalidUseOfNull);
  if (IsText()) return std::get<std::string>(value_);
  const double number = std::get<double>(value_);
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return std::string(buffer, result.ptr);
}

std::string FieldValue::AppendedToEmptyText() const {
  return IsNull() ? std::string() : ToText();
}

// ---------------------------------------------------------------------------------------
// Recordset

Recordset::Recordset(const CatalogueStore* store, sqlite3_stmt* statement, std::string source)
    : store_(store), statement_(statement), source_(std::move(source)) {
  const int columns = sqlite3_column_count(statement_);
  for (int i = 0; i < columns; ++i) names_.emplace_back(sqlite3_column_name(statement_, i));
  try {
    Step();
  } catch (...) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    throw;
  }
}

Recordset::Recordset(Recordset&& other) noexcept
    : store_(other.store_),
      statement_(other.statement_),
      source_(std::move(other.source_)),
      names_(std::move(other.names_)),
      eof_(other.eof_) {
  other.statement_ = nullptr;
  other.eof_ = true;
}

Recordset& Recordset::operator=(Recordset&& other) noexcept {
  if (this != &other) {
    Close();
    store_ = other.store_;
    statement_ = other.statement_;
    source_ = std::move(other.source_);
    names_ = std::move(other.names_);
    eof_ = other.eof_;
    other.statement_ = nullptr;
    other.eof_ = true;
  }
  return *this;
}

Recordset::~Recordset() {
  Close();
}

void Recordset::Step() {
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) {
    eof_ = false;
  } else if (rc == SQLITE_DONE) {
    eof_ = true;
  } else {
    eof_ = true;
    store_->FailStatement(source_);
  }
}

void Recordset::MoveFirst() {
  if (statement_ == nullptr) return;
  sqlite3_reset(statement_);
  Step();
}

void Recordset::MoveNext() {
  if (statement_ == nullptr || eof_) {
    throw DatabaseError(kDbNoCurrentRecord,
                        "No current record in " + source_ + " of catalogue " + store_->path());
  }
  Step();
}

void Recordset::Close() {
  if (statement_ != nullptr) sqlite3_finalize(statement_);
  statement_ = nullptr;
  eof_ = true;
}

int Recordset::ColumnOf(std::string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (EqualsNoCase(names_[i], name)) return static_cast<int>(i);
  }
  return -1;
}

bool Recordset::HasField(std::string_view name) const {
  return ColumnOf(name) >= 0;
}

FieldValue Recordset::Field(std::string_view name) const {
  const int column = ColumnOf(name);
  if (column < 0) {
    throw DatabaseError(kDbFieldNotFound, "Field " + std::string(name) + " not found in " +
                                              source_ + " of catalogue " + store_->path());
  }
  if (eof_ || statement_ == nullptr) {
    throw DatabaseError(kDbNoCurrentRecord,
                        "No current record in " + source_ + " of catalogue " + store_->path());
  }
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
      return FieldValue();
    case SQLITE_INTEGER:
      return FieldValue(static_cast<double>(sqlite3_column_int64(statement_, column)));
    case SQLITE_FLOAT:
      return FieldValue(sqlite3_column_double(statement_, column));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
      const int bytes = sqlite3_column_bytes(statement_, column);
      return FieldValue(std::string(text != nullptr ? text : "", static_cast<std::size_t>(bytes)));
    }
  }
}

// ---------------------------------------------------------------------------------------
// CatalogueStore

CatalogueStore::CatalogueStore(const std::string& path) : path_(path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path_, ec)) {
    throw DatabaseError(kDbFileNotFound, "Catalogue file not found: " + path_);
  }
  // Read-only and immutable: the store creates no journal, -wal or -shm file beside the
  // catalogue and takes no lock, so an installed catalogue in a folder the user cannot
  // write is read as it is, whatever journal mode it was built with.
  const std::string uri = CatalogueUri(path_) + "?mode=ro&immutable=1";
  if (sqlite3_open_v2(uri.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
      SQLITE_OK) {
    const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : "cannot open the file";
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError(kDbNotACatalogue, "Cannot open the catalogue " + path_ + ": " + message);
  }
  // The first read of the schema is what tells an SQLite file from any other file.
  bool hasVersion = false;
  try {
    hasVersion = HasTable("versione");
  } catch (const DatabaseError& e) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError(kDbNotACatalogue, path_ + " is not a Vestra catalogue (" + e.what() + ")");
  }
  if (!hasVersion) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError(kDbNotACatalogue,
                        path_ + " is not a Vestra catalogue: it has no table versione");
  }
}

CatalogueStore::~CatalogueStore() {
  sqlite3_close(db_);
}

void CatalogueStore::Fail(int number, const std::string& what) const {
  throw DatabaseError(number, what);
}

void CatalogueStore::FailStatement(const std::string& source) const {
  const std::string message = sqlite3_errmsg(db_);
  const std::string table = NameAfter(message, "no such table: ");
  if (!table.empty()) {
    Fail(kDbTableNotFound, "Table " + table + " not found in catalogue " + path_);
  }
  const std::string field = NameAfter(message, "no such column: ");
  if (!field.empty()) {
    Fail(kDbFieldNotFound, "Field " + field + " not found in " + source + " of catalogue " + path_);
  }
  const int code = sqlite3_errcode(db_);
  if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) {
    Fail(kDbNotACatalogue,
         "Catalogue " + path_ + " is damaged: " + message + " (reading " + source + ")");
  }
  Fail(kDbStatementFailed, "Catalogue " + path_ + ": " + message + " (reading " + source + ")");
}

bool CatalogueStore::HasTable(const std::string& table) const {
  sqlite3_stmt* statement = nullptr;
  const char* sql =
      "SELECT count(*) FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?1 "
      "COLLATE NOCASE";
  if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
    FailStatement("the list of tables");
  }
  sqlite3_bind_text(statement, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  const int rc = sqlite3_step(statement);
  const bool found = rc == SQLITE_ROW && sqlite3_column_int(statement, 0) > 0;
  sqlite3_finalize(statement);
  if (rc != SQLITE_ROW) FailStatement("the list of tables");
  return found;
}

Recordset CatalogueStore::OpenRecordset(const std::string& tableOrSelect,
                                        const std::vector<FieldValue>& parameters) const {
  const std::string text(Trimmed(tableOrSelect));
  std::string sql = text;
  if (IsTableName(text)) {
    if (!HasTable(text))
      Fail(kDbTableNotFound, "Table " + text + " not found in catalogue " + path_);
    sql = "SELECT * FROM \"" + text + "\"";
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    FailStatement(text);
  }
  const int expected = sqlite3_bind_parameter_count(statement);
  if (static_cast<int>(parameters.size()) != expected) {
    sqlite3_finalize(statement);
    Fail(kDbStatementFailed, "Catalogue query " + text + " expects " + std::to_string(expected) +
                                 " parameters, " + std::to_string(parameters.size()) + " given");
  }
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    const FieldValue& p = parameters[i];
    if (p.IsNull()) {
      sqlite3_bind_null(statement, index);
    } else if (p.IsNumber()) {
      sqlite3_bind_double(statement, index, p.ToDouble());
    } else {
      const std::string value = p.ToText();
      sqlite3_bind_text(statement, index, value.c_str(), static_cast<int>(value.size()),
                        SQLITE_TRANSIENT);
    }
  }
  return Recordset(this, statement, text);
}

std::string CatalogueStore::ReadDataVersion() const {
  Recordset versions = OpenRecordset("select * from versione");
  versions.MoveFirst();
  const FieldValue version = versions.Field("versione");
  if (version.IsNull())
    Fail(kDbNotACatalogue, "The data version of catalogue " + path_ + " is Null");
  return version.ToText();
}

}  // namespace vestra
