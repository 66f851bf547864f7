#include "report/table_export.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <system_error>

namespace vestra::report {

namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Digits after the decimal separator of a number's text: the decimals the workbook shows.
int DecimalsOf(const std::string& text) {
  const std::string shown = Trimmed(text);
  const std::size_t sep = shown.find_first_of(".,");
  if (sep == std::string::npos) return 0;
  return static_cast<int>(std::min<std::size_t>(shown.size() - sep - 1, 6));
}

bool NeedsQuotes(const std::string& field, char separator) {
  if (field.empty()) return false;
  return field.find_first_of(std::string{separator, '"', '\n', '\r'}) != std::string::npos ||
         field.front() == ' ' || field.back() == ' ';
}

std::string CsvField(const std::string& field, char separator) {
  if (!NeedsQuotes(field, separator)) return field;
  std::string out = "\"";
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// The number of characters a text shows (UTF-8: continuation bytes do not count).
std::size_t ShownLength(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// A name beside `path` that no other writer uses: the file is written under it and renamed.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
  std::filesystem::path temporary = path;
  temporary += ".part" + std::to_string(::getpid());
  return temporary;
}

void RenameInto(const std::filesystem::path& temporary, const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw ExportError("cannot write " + path.string() + ": " + error.message());
  }
}

// Sheet names hold at most 31 characters and none of []:*?/\ .
std::string SheetName(const std::string& wanted) {
  std::string name;
  for (const char c : wanted) {
    if (std::strchr("[]:*?/\\", c) != nullptr) continue;
    name += c;
  }
  if (name.size() > 31) {
    name.resize(31);
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
      name.pop_back();
    if (!name.empty() && (static_cast<unsigned char>(name.back()) & 0x80)) name.pop_back();
  }
  return name.empty() ? "Sheet1" : name;
}

struct WorkbookCloser {
  void operator()(lxw_workbook* workbook) const {
    if (workbook) workbook_close(workbook);
  }
};

}  // namespace

TableCell CellOf(std::string text, char decimalSeparator) {
  const std::string trimmed = Trimmed(text);
  std::string plain;
  bool digits = false;
  bool separator = false;
  for (std::size_t i = 0; i < trimmed.size(); ++i) {
    const char c = trimmed[i];
    if (c == '-' && i == 0) {
      plain += c;
    } else if (c >= '0' && c <= '9') {
      plain += c;
      digits = true;
    } else if (c == decimalSeparator && !separator) {
      plain += '.';
      separator = true;
    } else {
      return {std::move(text), std::nullopt};
    }
  }
  double value = 0;
  if (!digits ||
      std::from_chars(plain.data(), plain.data() + plain.size(), value).ec != std::errc{})
    return {std::move(text), std::nullopt};
  return {std::move(text), value};
}

std::string CsvText(const ExportTable& table, char separator) {
  std::string out;
  auto line = [&](const auto& cells, auto textOf) {
    for (std::size_t i = 0; i < cells.size(); ++i)
      out += (i ? std::string(1, separator) : "") + CsvField(textOf(cells[i]), separator);
    out += '\n';
  };
  for (const auto& row : table.headings) line(row, [](const std::string& s) { return s; });
  for (const auto& row : table.rows) line(row, [](const TableCell& c) { return c.text; });
  return out;
}

void WriteCsv(const ExportTable& table, const std::filesystem::path& path, char separator) {
  const std::filesystem::path temporary = TemporaryBeside(path);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw ExportError("cannot write " + path.string() + ": " + std::strerror(errno));
    out << CsvText(table, separator);
    out.flush();
    if (!out) {
      const std::string cause = std::strerror(errno);
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw ExportError("cannot write " + path.string() + ": " + cause);
    }
  }
  RenameInto(temporary, path);
}

void WriteXlsx(const ExportTable& table, const std::filesystem::path& path) {
  const std::filesystem::path temporary = TemporaryBeside(path);
  // The folder must exist and take a file: the workbook is only written at its close, and
  // its own error then says little about the cause.
  {
    std::ofstream probe(temporary, std::ios::binary | std::ios::trunc);
    if (!probe) throw ExportError("cannot write " + path.string() + ": " + std::strerror(errno));
  }
  std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new(temporary.c_str()));
  if (!workbook) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw ExportError("cannot write " + path.string() + ": the workbook could not be started");
  }
  lxw_workbook* wb = workbook.get();
  lxw_worksheet* sheet = workbook_add_worksheet(wb, SheetName(table.sheetName).c_str());

  lxw_format* heading = workbook_add_format(wb);
  format_set_bold(heading);
  format_set_bottom(heading, LXW_BORDER_THIN);
  // Over columns of numbers as well as of names: centred reads for both.
  format_set_align(heading, LXW_ALIGN_CENTER);
  // The marks of a stated duty: the row chosen bold on a green fill, the others that meet
  // the duty on a paler one, as the screen marks them.
  const auto markFill = [](RowMark mark) -> lxw_color_t {
    return mark == RowMark::kChosen ? 0xB7E1A1 : 0xE2F0D9;
  };
  // One format per (decimals, mark): the number shows as many decimals as the grid did.
  std::map<std::pair<int, RowMark>, lxw_format*> formats;
  auto format = [&](int decimals, RowMark mark) -> lxw_format* {
    auto [it, added] = formats.try_emplace({decimals, mark}, nullptr);
    if (!added) return it->second;
    if (decimals < 0 && mark == RowMark::kNone) return nullptr;
    lxw_format* f = workbook_add_format(wb);
    if (decimals >= 0) {
      const std::string code = decimals == 0 ? "0" : "0." + std::string(decimals, '0');
      format_set_num_format(f, code.c_str());
    }
    if (mark != RowMark::kNone) format_set_bg_color(f, markFill(mark));
    if (mark == RowMark::kChosen) format_set_bold(f);
    it->second = f;
    return f;
  };

  std::vector<std::size_t> widths;
  auto widen = [&](std::size_t col, const std::string& text) {
    if (widths.size() <= col) widths.resize(col + 1, 0);
    widths[col] = std::max(widths[col], ShownLength(text));
  };
  lxw_error error = LXW_NO_ERROR;
  auto check = [&](lxw_error e) {
    if (e != LXW_NO_ERROR && error == LXW_NO_ERROR) error = e;
  };
  lxw_row_t row = 0;
  for (const auto& cells : table.headings) {
    for (std::size_t col = 0; col < cells.size(); ++col) {
      check(worksheet_write_string(sheet, row, static_cast<lxw_col_t>(col), cells[col].c_str(),
                                   heading));
      widen(col, cells[col]);
    }
    ++row;
  }
  for (std::size_t r = 0; r < table.rows.size(); ++r, ++row) {
    const RowMark mark = r < table.marks.size() ? table.marks[r] : RowMark::kNone;
    const auto& cells = table.rows[r];
    for (std::size_t col = 0; col < cells.size(); ++col) {
      const TableCell& cell = cells[col];
      const auto c = static_cast<lxw_col_t>(col);
      if (cell.number)
        check(worksheet_write_number(sheet, row, c, *cell.number,
                                     format(DecimalsOf(cell.text), mark)));
      else if (!cell.text.empty())
        check(worksheet_write_string(sheet, row, c, cell.text.c_str(), format(-1, mark)));
      else if (mark != RowMark::kNone)
        check(worksheet_write_blank(sheet, row, c, format(-1, mark)));
      widen(col, cell.text);
    }
  }
  for (std::size_t col = 0; col < widths.size(); ++col)
    worksheet_set_column(sheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col),
                         static_cast<double>(std::clamp<std::size_t>(widths[col] + 2, 6, 60)),
                         nullptr);
  if (!table.headings.empty()) {
    const auto headingRows = static_cast<lxw_row_t>(table.headings.size());
    worksheet_freeze_panes(sheet, headingRows, 0);
    // Printed, the table runs across one page's width, its headings on every page.
    worksheet_repeat_rows(sheet, 0, headingRows - 1);
  }
  worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);

  check(workbook_close(workbook.release()));
  if (error != LXW_NO_ERROR) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw ExportError("cannot write " + path.string() + ": " + lxw_strerror(error));
  }
  RenameInto(temporary, path);
}

}  // namespace vestra::report
