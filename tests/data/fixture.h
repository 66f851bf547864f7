#pragma once

// Small catalogues made on the spot: the real schema, a few hand-written records.

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "data/store.h"

namespace vestra::testing {

// A fresh folder under the system temporary folder, removed with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A catalogue file with the program's schema and the version "test". Insert() writes one
// record: the fields given, every other numeric field 1 and every other text field empty.
class FixtureCatalogue {
 public:
  FixtureCatalogue();
  ~FixtureCatalogue();

  void Insert(const std::string& table, const std::map<std::string, FieldValue>& fields);
  void Execute(const std::string& sql);
  std::string path() const { return (folder_.path() / "Vestra.db").string(); }

 private:
  TempFolder folder_;
  struct sqlite3* db_ = nullptr;
};

// The error number a step raises, 0 when it raises none; `message` gets the text.
int ErrorOf(const std::function<void()>& step, std::string* message = nullptr);

}  // namespace vestra::testing
