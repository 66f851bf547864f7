#include "data/catalogue_builder.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "engine/shown_text.h"

namespace vestra {

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CatalogueBuildError("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The column affinity rules of SQLite, reduced to what the catalogue uses.
enum class Kind { kInteger, kReal, kText };
Kind KindOf(const std::string& declaredType) {
  const std::string t = Upper(declaredType);
  if (t.find("INT") != std::string::npos) return Kind::kInteger;
  if (t.find("CHAR") != std::string::npos || t.find("TEXT") != std::string::npos ||
      t.find("CLOB") != std::string::npos) {
    return Kind::kText;
  }
  return Kind::kReal;
}

bool ParseNumber(const std::string& cell, double& value) {
  const char* begin = cell.data();
  const char* end = begin + cell.size();
  if (begin != end && *begin == '+') ++begin;
  const auto result = std::from_chars(begin, end, value);
  return begin != end && result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

class Database {
 public:
  explicit Database(const fs::path& path) {
    if (sqlite3_open_v2(path.string().c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
      const std::string message = sqlite3_errmsg(db_);
      sqlite3_close(db_);
      throw CatalogueBuildError("cannot create " + path.string() + ": " + message);
    }
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Exec(const std::string& sql, const std::string& where) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string message = error != nullptr ? error : sqlite3_errmsg(db_);
      sqlite3_free(error);
      throw CatalogueBuildError(where + ": " + message);
    }
  }

  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      throw CatalogueBuildError(sql + ": " + sqlite3_errmsg(db_));
    }
    return statement;
  }

  const char* LastError() const { return sqlite3_errmsg(db_); }

 private:
  sqlite3* db_ = nullptr;
};

struct Column {
  std::string name;
  Kind kind;
};

struct Table {
  std::string name;
  std::vector<Column> columns;
};

std::vector<Table> TablesOf(Database& db) {
  std::vector<Table> tables;
  sqlite3_stmt* list =
      db.Prepare("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
  while (sqlite3_step(list) == SQLITE_ROW) {
    tables.push_back({reinterpret_cast<const char*>(sqlite3_column_text(list, 0)), {}});
  }
  sqlite3_finalize(list);
  for (Table& table : tables) {
    sqlite3_stmt* info = db.Prepare("SELECT name, type FROM pragma_table_info(?1)");
    sqlite3_bind_text(info, 1, table.name.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(info) == SQLITE_ROW) {
      table.columns.push_back(
          {reinterpret_cast<const char*>(sqlite3_column_text(info, 0)),
           KindOf(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)))});
    }
    sqlite3_finalize(info);
  }
  return tables;
}

void LoadTable(Database& db, const Table& table, const fs::path& csvPath) {
  const std::string where = csvPath.string();
  const std::vector<CsvRecord> records = ParseCsv(ReadFile(csvPath), where);
  if (records.empty()) throw CatalogueBuildError(where + ": no header line");

  // Header: exactly the table's fields, in any order.
  const std::vector<std::string>& header = records.front().cells;
  std::vector<const Column*> targets;
  std::set<std::string> seen;
  for (const std::string& name : header) {
    const auto column = std::find_if(table.columns.begin(), table.columns.end(),
                                     [&](const Column& c) { return c.name == name; });
    if (column == table.columns.end()) {
      throw CatalogueBuildError(where + ": field " + name + " is not a field of table " +
                                table.name);
    }
    if (!seen.insert(name).second) throw CatalogueBuildError(where + ": field " + name + " twice");
    targets.push_back(&*column);
  }
  for (const Column& column : table.columns) {
    if (!seen.count(column.name)) {
      throw CatalogueBuildError(where + ": the header lacks field " + column.name);
    }
  }

  std::string sql = "INSERT INTO \"" + table.name + "\" (";
  std::string marks;
  for (std::size_t i = 0; i < header.size(); ++i) {
    sql += (i ? ", \"" : "\"") + header[i] + "\"";
    marks += i ? ", ?" : "?";
  }
  sql += ") VALUES (" + marks + ")";
  sqlite3_stmt* insert = db.Prepare(sql);

  for (std::size_t r = 1; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    const std::string at = where + ": table " + table.name + ", record " + std::to_string(r);
    if (record.cells.size() != header.size()) {
      sqlite3_finalize(insert);
      throw CatalogueBuildError(at + " has " + std::to_string(record.cells.size()) +
                                " cells, the header " + std::to_string(header.size()));
    }
    sqlite3_reset(insert);
    for (std::size_t i = 0; i < header.size(); ++i) {
      const int index = static_cast<int>(i) + 1;
      const std::string& cell = record.cells[i];
      if (record.nulls[i]) {
        sqlite3_bind_null(insert, index);
        continue;
      }
      if (targets[i]->kind == Kind::kText) {
        // A name shows in a grid cell and in tab-separated rows, and goes out as JSON.
        if (const auto fault = PrintableTextFault(cell)) {
          sqlite3_finalize(insert);
          throw CatalogueBuildError(at + ", field " + header[i] + ": " + QuotedValue(cell) +
                                    " holds " + *fault + "; a text must be one line of UTF-8");
        }
        sqlite3_bind_text(insert, index, cell.c_str(), static_cast<int>(cell.size()),
                          SQLITE_TRANSIENT);
        continue;
      }
      double value = 0;
      if (!ParseNumber(cell, value)) {
        sqlite3_finalize(insert);
        throw CatalogueBuildError(at + ", field " + header[i] + ": " + QuotedValue(cell) +
                                  " is not a number");
      }
      if (targets[i]->kind == Kind::kInteger) {
        if (value != std::floor(value) || std::fabs(value) > 2147483647.0) {
          sqlite3_finalize(insert);
          throw CatalogueBuildError(at + ", field " + header[i] + ": " + QuotedValue(cell) +
                                    " is not a whole number");
        }
        sqlite3_bind_int64(insert, index, static_cast<sqlite3_int64>(value));
      } else {
        sqlite3_bind_double(insert, index, value);
      }
    }
    if (sqlite3_step(insert) != SQLITE_DONE) {
      const std::string message = db.LastError();
      sqlite3_finalize(insert);
      throw CatalogueBuildError(at + ": " + message);
    }
  }
  sqlite3_finalize(insert);
}

}  // namespace

std::vector<CsvRecord> ParseCsv(const std::string& text, const std::string& where) {
  std::vector<CsvRecord> records;
  CsvRecord record;
  std::string cell;
  bool quoted = false;    // the current cell was quoted
  bool inQuotes = false;  // inside a quoted section
  bool lineHasContent = false;
  std::size_t line = 1;

  auto endCell = [&] {
    record.nulls.push_back(!quoted && cell.empty());
    record.cells.push_back(std::move(cell));
    cell.clear();
    quoted = false;
  };
  auto endRecord = [&] {
    if (lineHasContent) {
      endCell();
      records.push_back(std::move(record));
    }
    record = CsvRecord();
    cell.clear();
    quoted = false;
    lineHasContent = false;
  };

  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          cell += '"';
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        if (c == '\n') ++line;
        cell += c;
      }
      continue;
    }
    switch (c) {
      case '"':
        if (!cell.empty()) {
          throw CatalogueBuildError(where + ":" + std::to_string(line) +
                                    ": a quote inside an unquoted cell");
        }
        inQuotes = quoted = lineHasContent = true;
        break;
      case ',':
        lineHasContent = true;
        endCell();
        break;
      case '\r':
        break;
      case '\n':
        endRecord();
        ++line;
        break;
      default:
        lineHasContent = true;
        cell += c;
    }
  }
  if (inQuotes) throw CatalogueBuildError(where + ": a quoted cell is not closed");
  endRecord();
  return records;
}

void BuildCatalogue(const std::string& schemaPath, const std::string& csvFolder,
                    const std::string& outputPath) {
  const fs::path output(outputPath);
  fs::path partial = output;
  partial += ".partial";
  fs::remove(partial);
  try {
    Database db(partial);
    db.Exec(ReadFile(schemaPath), schemaPath);
    const std::vector<Table> tables = TablesOf(db);

    std::map<std::string, fs::path> files;
    for (const auto& entry : fs::directory_iterator(csvFolder)) {
      if (entry.path().extension() == ".csv") files[entry.path().stem().string()] = entry.path();
    }
    db.Exec("BEGIN", "catalogue");
    for (const Table& table : tables) {
      const auto file = files.find(table.name);
      if (file == files.end()) {
        throw CatalogueBuildError(csvFolder + ": no file " + table.name + ".csv for table " +
                                  table.name);
      }
      LoadTable(db, table, file->second);
      files.erase(file);
    }
    if (!files.empty()) {
      throw CatalogueBuildError(files.begin()->second.string() + ": no table " +
                                files.begin()->first + " in " + schemaPath);
    }
    db.Exec("COMMIT", "catalogue");
  } catch (...) {
    fs::remove(partial);  // the database is closed by now: never leave half a catalogue
    throw;
  }
  fs::rename(partial, output);
}

}  // namespace vestra
