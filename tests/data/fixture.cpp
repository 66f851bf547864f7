#include "fixture.h"

#include <sqlite3.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace vestra::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::random_device seed;
  path_ = fs::temp_directory_path() / ("vestra-data-" + std::to_string(seed()));
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

FixtureCatalogue::FixtureCatalogue() {
  if (sqlite3_open(path().c_str(), &db_) != SQLITE_OK) throw std::runtime_error("fixture open");
  std::ifstream schema(VESTRA_CATALOGUE_SCHEMA);
  std::stringstream text;
  text << schema.rdbuf();
  Execute(text.str());
  Execute("INSERT INTO versione VALUES ('test')");
}

FixtureCatalogue::~FixtureCatalogue() {
  sqlite3_close(db_);
}

void FixtureCatalogue::Execute(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error != nullptr ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error("fixture: " + message);
  }
}

void FixtureCatalogue::Insert(const std::string& table,
                              const std::map<std::string, FieldValue>& fields) {
  struct Column {
    std::string name;
    bool text;
  };
  std::vector<Column> columns;
  sqlite3_stmt* info = nullptr;
  sqlite3_prepare_v2(db_, "SELECT name, type FROM pragma_table_info(?1)", -1, &info, nullptr);
  sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  while (sqlite3_step(info) == SQLITE_ROW) {
    const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(info, 1));
    columns.push_back({reinterpret_cast<const char*>(sqlite3_column_text(info, 0)),
                       type.find("TEXT") != std::string::npos});
  }
  sqlite3_finalize(info);
  if (columns.empty()) throw std::runtime_error("fixture: no table " + table);
  for (const auto& [name, value] : fields) {
    bool known = false;
    for (const Column& c : columns) known = known || c.name == name;
    if (!known) throw std::runtime_error("fixture: no field " + name + " in " + table);
  }

  std::string sql = "INSERT INTO " + table + " VALUES (";
  for (std::size_t i = 0; i < columns.size(); ++i) sql += i ? ", ?" : "?";
  sql += ")";
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db_, sql.c_str(), -1, &insert, nullptr);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    const auto given = fields.find(columns[i].name);
    if (given == fields.end()) {
      if (columns[i].text) {
        sqlite3_bind_text(insert, index, "", 0, SQLITE_STATIC);
      } else {
        sqlite3_bind_double(insert, index, 1.0);
      }
    } else if (given->second.IsNull()) {
      sqlite3_bind_null(insert, index);
    } else if (given->second.IsNumber()) {
      sqlite3_bind_double(insert, index, given->second.ToDouble());
    } else {
      const std::string value = given->second.ToText();
      sqlite3_bind_text(insert, index, value.c_str(), -1, SQLITE_TRANSIENT);
    }
  }
  const int rc = sqlite3_step(insert);
  sqlite3_finalize(insert);
  if (rc != SQLITE_DONE) throw std::runtime_error("fixture: " + std::string(sqlite3_errmsg(db_)));
}

int ErrorOf(const std::function<void()>& step, std::string* message) {
  try {
    step();
  } catch (const RuntimeError& e) {
    if (message != nullptr) *message = e.what();
    return e.number();
  }
  return 0;
}

}  // namespace vestra::testing
