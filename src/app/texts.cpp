#include "app/texts.h"

#include <algorithm>

#include "engine/errors.h"

namespace vestra {
namespace {

std::int16_t Int16(std::int32_t value) {
  if (value < -32768 || value > 32767) Raise(kOverflow);
  return static_cast<std::int16_t>(value);
}

}  // namespace

std::optional<std::string_view> FindText(std::int32_t id) {
  const auto table = TextTable();
  const auto it = std::lower_bound(table.begin(), table.end(), id,
                                   [](const TextEntry& e, std::int32_t v) { return e.id < v; });
  if (it == table.end() || it->id != id) return std::nullopt;
  return it->text;
}

std::int16_t LangBaseFor(std::int16_t langIndex) {
  return Int16((2 * static_cast<std::int32_t>(langIndex) + 1) * 100);
}

std::string Text(std::int32_t id, std::int16_t langBase) {
  if (const auto text = FindText(id)) return std::string(*text);
  const std::int32_t englishId = id - langBase + kEnglishBase;
  if (const auto text = FindText(englishId)) return std::string(*text);
  throw RuntimeError(kResourceNotFound,
                     "Resource with identifier " + std::to_string(id) + " not found");
}

std::string TextContext::Text(int offset) const {
  return vestra::Text(Int16(static_cast<std::int32_t>(langBase_) + offset), langBase_);
}

}  // namespace vestra
