#include "data/loaders.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <type_traits>

#include "engine/coil_state.h"
#include "engine/errors.h"
#include "engine/numeric.h"
#include "engine/shown_text.h"

namespace vestra {

namespace {

constexpr std::array<SeriesInfo, 19> kSeries{{
    {Series::Q70, "Q70", "DatiQ70", nullptr, std::nullopt, 60, false},
    {Series::VELD, "VELD", "DatiVELD", nullptr, CoilSet::S8, 4, true},
    {Series::KELM, "KELM", "select * from DatiKELM", "select * from DPAcc", CoilSet::S6, 28, false},
    {Series::ZOPH, "ZOPH", "select * from DatiZOPH", "select * from DPAccZOPH", CoilSet::S7, 18,
     false},
    {Series::QUIVO, "QUIVO", "select * from DatiQUIVO order by modello", nullptr, CoilSet::S2, 20,
     true},
    {Series::BRISK, "BRISK", "select * from DatiBRISK order by modello", nullptr, CoilSet::S3, 16,
     true},
    {Series::LUMO, "LUMO", "select * from DatiLUMO order by modello", nullptr, CoilSet::S5, 7,
     true},
    {Series::TORVAEC, "TORVAEC", "select * from DatiTorvaEC order by modello", nullptr, CoilSet::S1,
     91, true},
    {Series::TORVA, "TORVA", "select * from DatiTorva order by modello", nullptr, CoilSet::S1, 91,
     true},
    {Series::NARTE, "NARTE", "select * from DatiNARTE order by modello", nullptr, CoilSet::S5, 7,
     true},
    {Series::DARNE, "DARNE", "select * from DatiDARNE order by modello", nullptr, CoilSet::S9, 12,
     true},
    {Series::KELMBLDC, "KELMBLDC", "select * from DatiKELMBLDC", "select * from DPAcc", CoilSet::S7,
     30, true},
    {Series::ZOPHBLDC, "ZOPHBLDC", "select * from DatiZOPHBLDC", "select * from DPAccZOPH",
     CoilSet::S7, 30, true},
    {Series::PELVOEC, "PELVOEC", "select * from DatiPelvoEC", nullptr, CoilSet::S4, 52, true},
    {Series::MIRALEC, "MIRALEC", "select * from DatiMIRALEC", nullptr, CoilSet::S4, 52, true},
    {Series::UMBRA, "UMBRA", "select * from DatiUmbra", nullptr, CoilSet::S4, 52, true},
    {Series::MIRALP, "MIRALP", "select * from DatiMIRALP", nullptr, CoilSet::S4, 48, true},
    {Series::PELVO, "PELVO", "select * from DatiPelvo", nullptr, CoilSet::S4, 21, true},
    {Series::MIRAL, "MIRAL", "select * from DatiMIRAL", nullptr, CoilSet::S4, 60, true},
}};

// ---------------------------------------------------------------------------------------
// Conversions from a field to an array's element type.

template <typename T>
T Convert(const FieldValue& value);
template <>
float Convert<float>(const FieldValue& value) {
  return value.ToSingle();
}
template <>
std::int16_t Convert<std::int16_t>(const FieldValue& value) {
  return value.ToInt16();
}
template <>
std::int32_t Convert<std::int32_t>(const FieldValue& value) {
  return value.ToInt32();
}
template <>
std::string Convert<std::string>(const FieldValue& value) {
  return value.ToText();
}
template <>
FieldValue Convert<FieldValue>(const FieldValue& value) {
  return value;  // the variant fields are kept as read, Null included
}

template <typename... Arrays>
void Redim1(int capacity, Arrays&... arrays) {
  (arrays.Redim(capacity), ...);
}
template <typename... Arrays>
void Redim2(int kUpper, int capacity, Arrays&... arrays) {
  (arrays.Redim(kUpper, capacity), ...);
}

std::string Numbered(const char* prefix, int k, const char* suffix = "") {
  return prefix + std::to_string(k) + suffix;
}

// The last geometry and fin pitch index of the coil constant tables.
constexpr int kGeometryCodeLast =
    static_cast<int>(std::tuple_size_v<decltype(CoilConstants::GeoAirN)>) - 1;
constexpr int kFinPitchCodeLast =
    static_cast<int>(std::tuple_size_v<decltype(CoilConstants::GeoFinPitch)>) - 1;

// What a field must hold to be stored as T, for the message of a value that is not that.
template <typename T>
const char* Needed();
template <>
const char* Needed<float>() {
  return "a single-precision number";
}
template <>
const char* Needed<std::int16_t>() {
  return "a 16-bit integer (-32768 to 32767)";
}
template <>
const char* Needed<std::int32_t>() {
  return "a 32-bit integer";
}
template <>
const char* Needed<std::string>() {
  return "a text";
}
template <>
const char* Needed<FieldValue>() {
  return "a number or Null";
}

// The table a series source reads: the source itself, or the name after "from".
std::string TableOf(const std::string& source) {
  std::string lower = source;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto from = lower.find(" from ");
  if (from == std::string::npos) return source;
  const std::size_t begin = from + 6;
  return source.substr(begin, source.find(' ', begin) - begin);
}

// Reads the fields of one record into model m, in the order the calls are made. A value
// that cannot be stored raises the error of its conversion (94 Null, 13 type mismatch, 6
// overflow, 9 a code outside the coil tables) with a message that names the catalogue,
// the table, the record and its model, the field and the value.
class RecordReader {
 public:
  RecordReader(const Recordset& record, int m, const CatalogueStore& store,
               const std::string& table)
      : record_(record), m_(m), store_(store), table_(table) {}

  template <typename T>
  void operator()(TableArray<T>& array, const std::string& field) const {
    array.Store(m_, Read<T>(field));
  }
  template <typename T>
  void operator()(TableArray<T>& array, int k, const std::string& field) const {
    array.Store(k, m_, Read<T>(field));
  }
  // An air flow catalogued in m3/h, stored in m3/s.
  void PerHour(TableArray<float>& array, const std::string& field) const {
    const FieldValue value = record_.Field(field);
    array.Store(m_, Guarded<float>(field, value, [&] { return Sng(value.ToDouble() / 3600); }));
  }
  // A number kept as text; a Null becomes the empty text.
  void AsText(TableArray<std::string>& array, const std::string& field) const {
    const FieldValue value = record_.Field(field);
    array.Store(m_, Printable(field, value.AppendedToEmptyText()));
  }
  // A code that indexes the coil constant tables, 0 .. last: checked as it is read, so
  // that a bad one is told here and not as a subscript error of the first rating.
  void Code(TableArray<std::int16_t>& array, const std::string& field, int last,
            const char* what) const {
    const FieldValue value = record_.Field(field);
    const std::int16_t code = Guarded<std::int16_t>(field, value, [&] { return value.ToInt16(); });
    if (code < 0 || code > last)
      Fail(kSubscriptOutOfRange, field,
           "= " + value.ToText() + " is not " + what + " of the coil constant tables (0 to " +
               std::to_string(last) + ")");
    array.Store(m_, code);
  }

 private:
  template <typename T>
  T Read(const std::string& field) const {
    const FieldValue value = record_.Field(field);
    T stored = Guarded<T>(field, value, [&] { return Convert<T>(value); });
    if constexpr (std::is_same_v<T, std::string>) {
      stored = Printable(field, stored);
      if (field == "Modello") model_ = stored;
    } else if constexpr (std::is_same_v<T, FieldValue>) {
      if (value.IsText()) Guarded<T>(field, value, [&] { return FieldValue(value.ToDouble()); });
    }
    return stored;
  }

  // The conversion, its run-time error told with the record and field at fault.
  template <typename T, typename Step>
  T Guarded(const std::string& field, const FieldValue& value, const Step& step) const {
    try {
      return step();
    } catch (const DatabaseError&) {
      throw;
    } catch (const RuntimeError& e) {
      std::string what;
      if (value.IsNull())
        what = "is Null where " + std::string(Needed<T>()) + " is needed";
      else if (value.IsText() && e.number() == kTypeMismatch)
        what = "holds the text " + QuotedValue(value.ToText()) + " where " + Needed<T>() +
               " is needed";
      else
        what = "= " + value.ToText() + " does not fit " + Needed<T>();
      Fail(e.number(), field, what);
    }
  }

  // A text that is one line of printable UTF-8: a tab or a line end would shift the cells
  // of the results grid and of its copied rows.
  std::string Printable(const std::string& field, const std::string& text) const {
    if (const auto fault = PrintableTextFault(text))
      Fail(kTypeMismatch, field,
           "holds " + QuotedValue(text) + ", with " + *fault + "; it must be one line of text");
    return text;
  }

  [[noreturn]] void Fail(int number, const std::string& field, const std::string& what) const {
    std::string record = "record " + std::to_string(m_);
    if (!model_.empty()) record += " (model " + QuotedValue(model_) + ")";
    throw RuntimeError(number, StandardErrorMessage(number) + ": catalogue " + store_.path() +
                                   ", table " + table_ + ", " + record + ", field " + field + " " +
                                   what);
  }

  const Recordset& record_;
  int m_;
  const CatalogueStore& store_;
  const std::string& table_;
  mutable std::string model_;  // the record's model name, once read
};

// ---------------------------------------------------------------------------------------
// The coil fields every series but Q70 reads first.

void DimCoil(ModelTables& t, int cap, bool withTube = false) {
  Redim1(cap, t.TabModello, t.TabGeom, t.TabPasso, t.TabLunBat, t.TabAltBat, t.TabNR, t.TabNC);
  if (withTube) t.TabTubo.Redim(cap);
}

void ReadCoil(const RecordReader& read, ModelTables& t, bool withTube = false) {
  read(t.TabModello, "Modello");
  read.Code(t.TabGeom, "Geom", kGeometryCodeLast, "a coil geometry");
  read.Code(t.TabPasso, "Passo", kFinPitchCodeLast, "a fin pitch");
  read(t.TabLunBat, "LunBat");
  read(t.TabAltBat, "AltBAt");
  if (withTube) read(t.TabTubo, "Tubo");  // the cassettes' tube diameter sits here
  read(t.TabNR, "NR");
  read(t.TabNC, "NC");
}

// V{k}A, V{k}B, V{k}C for k = first..last (or P{k}... for the power curves).
void ReadCurves(const RecordReader& read, const char* letter, TableArray<float>& a,
                TableArray<float>& b, TableArray<float>& c, int first, int last) {
  for (int k = first; k <= last; ++k) {
    read(a, k, Numbered(letter, k, "A"));
    read(b, k, Numbered(letter, k, "B"));
    read(c, k, Numbered(letter, k, "C"));
  }
}

template <typename T>
void ReadSeriesK(const RecordReader& read, TableArray<T>& array, const char* prefix, int first,
                 int last, const char* suffix = "") {
  for (int k = first; k <= last; ++k) read(array, k, Numbered(prefix, k, suffix));
}

// ---------------------------------------------------------------------------------------
// Per series: the arrays it dimensions and the fields of one record in reading order.

void DimQ70(ModelTables& t, int cap) {
  Redim1(cap, t.TabModello, t.TabQA, t.TabPTN, t.TabY1, t.TabNR, t.TabNC, t.TabC50, t.TabCCC50,
         t.TabAltBat, t.TabLunBat, t.TabLWA, t.TabAltezza, t.TabLancio);
}
void ReadQ70(const RecordReader& read, ModelTables& t) {
  read(t.TabModello, "Modello");
  read(t.TabQA, "QA");
  read(t.TabPTN, "PTN");
  read(t.TabY1, "Y1");
  read(t.TabNR, "NR");
  read(t.TabNC, "NC");
  read(t.TabC50, "C50");
  read(t.TabCCC50, "CC50");
  read(t.TabAltBat, "AltBat");
  read(t.TabLunBat, "LunBat");
  read(t.TabLWA, "LWA");
  read.AsText(t.TabAltezza, "AieraMin");
  read.AsText(t.TabLancio, "AieraMax");
}

void DimVeld(ModelTables& t, int cap) {
  DimCoil(t, cap);
  Redim1(cap, t.TabQa1, t.TabQa2, t.TabQa3, t.TabQa1C, t.TabQa2C, t.TabQa3C, t.TabFCC50, t.TabCCC50,
         t.TabFX31, t.TabCX31);
  Redim2(1, cap, t.TabC100, t.TabCC30, t.TabFC30);
  Redim2(3, cap, t.TabLWA, t.TabLPA);
}
void ReadVeld(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  read(t.TabQa1, "Qa1F");
  read(t.TabQa2, "Qa2F");
  read(t.TabQa3, "Qa3F");
  read(t.TabQa1C, "Qa1C");
  read(t.TabQa2C, "Qa2C");
  read(t.TabQa3C, "Qa3C");
  read(t.TabC100, 1, "C100");
  read(t.TabCC30, 1, "CC30");
  read(t.TabFC30, 1, "FC30");
  read(t.TabFCC50, "FCC50");
  read(t.TabCCC50, "CCC50");
  read(t.TabFX31, "FX31");
  read(t.TabCX31, "CX31");
  for (int k = 1; k <= 3; ++k) {
    read(t.TabLWA, k, Numbered("LWA", k));
    read(t.TabLPA, k, Numbered("LPA", k));
  }
}

// KELM (3 taps) and ZOPH (7 taps).
void DimDucted(ModelTables& t, int cap, int taps) {
  DimCoil(t, cap);
  const int kUpper = taps == 3 ? 5 : 7;
  Redim2(kUpper, cap, t.TabVA, t.TabVB, t.TabVC, t.TabLWA);
  Redim2(1, cap, t.TabC100, t.TabCC30, t.TabFC30);
  Redim1(cap, t.TabFCC50, t.TabCCC50, t.TabSezione, t.TabBocche);
}
void ReadDucted(const RecordReader& read, ModelTables& t, int taps) {
  ReadCoil(read, t);
  ReadCurves(read, "V", t.TabVA, t.TabVB, t.TabVC, 1, taps);
  read(t.TabC100, 1, "C100");
  read(t.TabCC30, 1, "CC30");
  read(t.TabFC30, 1, "FC30");
  read(t.TabFCC50, "FCC50");
  read(t.TabCCC50, "CCC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 1, taps);
  read(t.TabSezione, "Sezione");
  read(t.TabBocche, "Bocche");
}

// QUIVO (4 speeds, with absorbed power) and BRISK (3 speeds).
void DimCassette(ModelTables& t, int cap, int speeds) {
  DimCoil(t, cap, true);
  Redim1(cap, t.TabQa1, t.TabQa2, t.TabQa3, t.TabFCC50, t.TabCCC50);
  if (speeds == 4) t.TabQa4.Redim(cap);
  Redim2(speeds, cap, t.TabC100, t.TabCC30, t.TabFC30, t.TabLWA);
  if (speeds == 4) t.TabPIN.Redim(4, cap);
}
void ReadCassette(const RecordReader& read, ModelTables& t, int speeds) {
  ReadCoil(read, t, true);
  TableArray<float>* flows[] = {&t.TabQa1, &t.TabQa2, &t.TabQa3, &t.TabQa4};
  for (int k = 1; k <= speeds; ++k) read.PerHour(*flows[k - 1], Numbered("QA", k));
  read(t.TabC100, 1, "F1C100");
  ReadSeriesK(read, t.TabCC30, "C", 1, speeds, "C30");
  ReadSeriesK(read, t.TabFC30, "F", 1, speeds, "C30");
  read(t.TabFCC50, "FCC50");
  read(t.TabCCC50, "CCC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 1, speeds);
  if (speeds == 4) ReadSeriesK(read, t.TabPIN, "PIN", 1, 4);
}

// LUMO and NARTE, the high-wall units.
void DimWall(ModelTables& t, int cap) {
  DimCoil(t, cap);
  Redim1(cap, t.TabQa1, t.TabQa2, t.TabQa3, t.TabFCC50, t.TabCCC50);
  Redim2(3, cap, t.TabC100, t.TabCC30, t.TabFC30, t.TabLWA, t.TabLPA);
}
void ReadWall(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  read.PerHour(t.TabQa1, "QA1");
  read.PerHour(t.TabQa2, "QA2");
  read.PerHour(t.TabQa3, "QA3");
  ReadSeriesK(read, t.TabC100, "F", 1, 3, "C100");
  ReadSeriesK(read, t.TabCC30, "C", 1, 3, "C30");
  ReadSeriesK(read, t.TabFC30, "F", 1, 3, "C30");
  read(t.TabFCC50, "FCC50");
  read(t.TabCCC50, "CCC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 1, 3);
  ReadSeriesK(read, t.TabLPA, "LPA", 1, 3);
}

void DimTorvaEc(ModelTables& t, int cap) {
  DimCoil(t, cap);
  Redim2(1, cap, t.TabC100, t.TabCC30, t.TabFC30);
  Redim1(cap, t.TabFCC50, t.TabVRA, t.TabVRB, t.TabVRC, t.TabQAA, t.TabQAB, t.TabQAC, t.TabPAK,
         t.TabPAN, t.TabLWA, t.TabLWB, t.TabLWC);
}
void ReadTorvaEc(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  read(t.TabC100, 1, "F1C100");
  read(t.TabCC30, 1, "C1C30");
  read(t.TabFC30, 1, "F1C30");
  read(t.TabFCC50, "CC50");
  read(t.TabVRA, "VRA");
  read(t.TabVRB, "VRB");
  read(t.TabVRC, "VRC");
  read(t.TabQAA, "QAA");
  read(t.TabQAB, "QAB");
  read(t.TabQAC, "QAC");
  read(t.TabPAK, "PAK");
  read(t.TabPAN, "PAN");
  read(t.TabLWA, "LWA");
  read(t.TabLWB, "LWB");
  read(t.TabLWC, "LWC");
}

void DimTorva(ModelTables& t, int cap) {
  DimCoil(t, cap);
  Redim1(cap, t.TabQa1, t.TabFCC50, t.TabLWA, t.TabLPA, t.TabAltezza, t.TabLancio);
  Redim2(1, cap, t.TabC100, t.TabCC30, t.TabFC30);
}
void ReadTorva(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  read(t.TabQa1, "QA");
  read(t.TabC100, 1, "F1C100");
  read(t.TabCC30, 1, "C1C30");
  read(t.TabFC30, 1, "F1C30");
  read(t.TabFCC50, "CC50");
  read(t.TabLWA, "LWA1");
  read(t.TabLPA, "LPA1");
  read(t.TabAltezza, "Altezza");
  read(t.TabLancio, "Lancio");
}

void DimDarne(ModelTables& t, int cap) {
  DimCoil(t, cap);
  Redim1(cap, t.TabQa1, t.TabQa2, t.TabQa3, t.TabQa4, t.TabFCC50, t.TabCCC50, t.TabPotNom,
         t.TabEspon, t.TabDPNom, t.TabDeltaL);
  Redim2(4, cap, t.TabCC30, t.TabFC30, t.TabC100);
  t.TabLWA.Redim(5, cap);
}
void ReadDarne(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  // The flows stay in m3/h: the DARNE rating converts them itself.
  read(t.TabQa1, "QA1");
  read(t.TabQa2, "QA2");
  read(t.TabQa3, "QA3");
  read(t.TabQa4, "QA4");
  for (int k = 1; k <= 4; ++k) {
    read(t.TabCC30, k, Numbered("C", k, "C30"));
    read(t.TabFC30, k, Numbered("F", k, "C30"));
  }
  read(t.TabC100, 1, "F1C100");
  read(t.TabFCC50, "FCC50");
  read(t.TabCCC50, "CCC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 1, 5);
  read(t.TabPotNom, "PotNom");
  read(t.TabEspon, "Espon");
  read(t.TabDPNom, "DPNom");
  read(t.TabDeltaL, "DeltaL");
}

// The EC fan's eight steps: fan curves, power curves and nominal speeds.
void DimEcSteps(ModelTables& t, int cap) {
  Redim2(8, cap, t.TabVA, t.TabVB, t.TabVC, t.TabPA, t.TabPB, t.TabPC, t.TabG, t.TabLWA);
}
void ReadEcSteps(const RecordReader& read, ModelTables& t) {
  ReadCurves(read, "V", t.TabVA, t.TabVB, t.TabVC, 0, 7);
  ReadCurves(read, "P", t.TabPA, t.TabPB, t.TabPC, 0, 7);
  ReadSeriesK(read, t.TabG, "G", 0, 7);
}

// KELMBLDC and ZOPHBLDC; the ZOPH table carries Nlog before the outlet data.
void DimDuctedEc(ModelTables& t, int cap) {
  DimCoil(t, cap);
  DimEcSteps(t, cap);
  Redim2(1, cap, t.TabC100, t.TabCC30, t.TabFC30);
  Redim1(cap, t.TabFCC50, t.TabCCC50, t.TabMinQa, t.TabSezione, t.TabBocche, t.TabNlog);
}
void ReadDuctedEc(const RecordReader& read, ModelTables& t, bool nlogFirst) {
  ReadCoil(read, t);
  ReadEcSteps(read, t);
  read(t.TabC100, 1, "C100");
  read(t.TabCC30, 1, "CC30");
  read(t.TabFC30, 1, "FC30");
  read(t.TabFCC50, "FCC50");
  read(t.TabCCC50, "CCC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 0, 7);
  read(t.TabMinQa, "MinQa");
  if (nlogFirst) read(t.TabNlog, "Nlog");
  read(t.TabSezione, "Sezione");
  read(t.TabBocche, "Bocche");
  if (!nlogFirst) read(t.TabNlog, "Nlog");
}

// PELVOEC and MIRALEC.
void DimFanCoilEc(ModelTables& t, int cap) {
  DimCoil(t, cap);
  DimEcSteps(t, cap);
  Redim2(3, cap, t.TabC100, t.TabCC30, t.TabFC30);
  Redim1(cap, t.TabFCC50, t.TabMinQa, t.TabNlog);
}
void ReadFanCoilEc(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  ReadEcSteps(read, t);
  read(t.TabC100, 1, "F1C100");
  read(t.TabCC30, 1, "C1C30");
  read(t.TabFC30, 1, "F1C30");
  read(t.TabFCC50, "CC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 0, 7);
  read(t.TabMinQa, "MinQa");
  read(t.TabNlog, "Nlog");
}

void DimUmbra(ModelTables& t, int cap) {
  DimCoil(t, cap);
  Redim2(3, cap, t.TabC100, t.TabCC30, t.TabFC30);
  Redim2(4, cap, t.TabAK, t.TabBX, t.TabCY, t.TabAA, t.TabBB, t.TabCC, t.TabAL);
  Redim1(cap, t.TabFCC50, t.TabMinQa, t.TabMaxQa, t.TabKDB);
}
void ReadUmbra(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  read(t.TabC100, 1, "F1C100");
  read(t.TabCC30, 1, "C1C30");
  read(t.TabFC30, 1, "F1C30");
  read(t.TabFCC50, "CC50");
  ReadSeriesK(read, t.TabAK, "AK", 1, 3);
  ReadSeriesK(read, t.TabBX, "BX", 1, 3);
  ReadSeriesK(read, t.TabCY, "CY", 1, 3);
  ReadSeriesK(read, t.TabAA, "AA", 1, 3);
  ReadSeriesK(read, t.TabBB, "BB", 1, 3);
  ReadSeriesK(read, t.TabCC, "CC", 1, 3);
  ReadSeriesK(read, t.TabAL, "AL", 1, 3);
  read(t.TabMinQa, "MinQa");
  read(t.TabMaxQa, "MaxQa");
  read(t.TabKDB, "KDB");
}

// MIRAL (3 speeds) and MIRALP (6 speeds): fan curves per speed, coefficients per speed.
void DimMiral(ModelTables& t, int cap, int speeds) {
  DimCoil(t, cap);
  Redim2(speeds, cap, t.TabVA, t.TabVB, t.TabVC, t.TabC100, t.TabCC30, t.TabFC30, t.TabLWA,
         t.TabPIN);
  t.TabFCC50.Redim(cap);
}
void ReadMiral(const RecordReader& read, ModelTables& t, int speeds) {
  ReadCoil(read, t);
  ReadCurves(read, "V", t.TabVA, t.TabVB, t.TabVC, 1, speeds);
  for (int k = 1; k <= speeds; ++k) {
    read(t.TabC100, k, Numbered("F", k, "C100"));
    read(t.TabCC30, k, Numbered("C", k, "C30"));
    read(t.TabFC30, k, Numbered("F", k, "C30"));
  }
  read(t.TabFCC50, "CC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 1, speeds);
  ReadSeriesK(read, t.TabPIN, "PIN", 1, speeds);
}

void DimPelvo(ModelTables& t, int cap) {
  DimCoil(t, cap);
  Redim1(cap, t.TabQa1, t.TabQa2, t.TabQa3, t.TabFCC50);
  Redim2(3, cap, t.TabC100, t.TabCC30, t.TabFC30, t.TabLWA);
}
void ReadPelvo(const RecordReader& read, ModelTables& t) {
  ReadCoil(read, t);
  read(t.TabQa1, "Qa1");
  read(t.TabQa2, "Qa2");
  read(t.TabQa3, "Qa3");
  for (int k = 1; k <= 3; ++k) {
    read(t.TabC100, k, Numbered("F", k, "C100"));
    read(t.TabCC30, k, Numbered("C", k, "C30"));
    read(t.TabFC30, k, Numbered("F", k, "C30"));
  }
  read(t.TabFCC50, "CC50");
  ReadSeriesK(read, t.TabLWA, "LWA", 1, 3);
}

void Dimension(Series series, ModelTables& t, int cap) {
  switch (series) {
    case Series::Q70:
      return DimQ70(t, cap);
    case Series::VELD:
      return DimVeld(t, cap);
    case Series::KELM:
      return DimDucted(t, cap, 3);
    case Series::ZOPH:
      return DimDucted(t, cap, 7);
    case Series::QUIVO:
      return DimCassette(t, cap, 4);
    case Series::BRISK:
      return DimCassette(t, cap, 3);
    case Series::LUMO:
    case Series::NARTE:
      return DimWall(t, cap);
    case Series::TORVAEC:
      return DimTorvaEc(t, cap);
    case Series::TORVA:
      return DimTorva(t, cap);
    case Series::DARNE:
      return DimDarne(t, cap);
    case Series::KELMBLDC:
    case Series::ZOPHBLDC:
      return DimDuctedEc(t, cap);
    case Series::PELVOEC:
    case Series::MIRALEC:
      return DimFanCoilEc(t, cap);
    case Series::UMBRA:
      return DimUmbra(t, cap);
    case Series::MIRALP:
      return DimMiral(t, cap, 6);
    case Series::PELVO:
      return DimPelvo(t, cap);
    case Series::MIRAL:
      return DimMiral(t, cap, 3);
  }
}

void ReadRecord(Series series, const RecordReader& read, ModelTables& t) {
  switch (series) {
    case Series::Q70:
      return ReadQ70(read, t);
    case Series::VELD:
      return ReadVeld(read, t);
    case Series::KELM:
      return ReadDucted(read, t, 3);
    case Series::ZOPH:
      return ReadDucted(read, t, 7);
    case Series::QUIVO:
      return ReadCassette(read, t, 4);
    case Series::BRISK:
      return ReadCassette(read, t, 3);
    case Series::LUMO:
    case Series::NARTE:
      return ReadWall(read, t);
    case Series::TORVAEC:
      return ReadTorvaEc(read, t);
    case Series::TORVA:
      return ReadTorva(read, t);
    case Series::DARNE:
      return ReadDarne(read, t);
    case Series::KELMBLDC:
      return ReadDuctedEc(read, t, false);
    case Series::ZOPHBLDC:
      return ReadDuctedEc(read, t, true);
    case Series::PELVOEC:
    case Series::MIRALEC:
      return ReadFanCoilEc(read, t);
    case Series::UMBRA:
      return ReadUmbra(read, t);
    case Series::MIRALP:
      return ReadMiral(read, t, 6);
    case Series::PELVO:
      return ReadPelvo(read, t);
    case Series::MIRAL:
      return ReadMiral(read, t, 3);
  }
}

// The accessory pressure losses of the ducted series, rows 1 .. AccCount.
void LoadAccessories(const char* source, const CatalogueStore& store, ModelTables& t) {
  constexpr int kAccessoryCapacity = 10;
  Redim1(kAccessoryCapacity, t.AccCost, t.AccEspo, t.AccOPZBoc);
  Recordset accessories = store.OpenRecordset(source);
  const std::string table = TableOf(source);
  t.AccCount = 0;
  for (accessories.MoveFirst(); !accessories.IsEof(); accessories.MoveNext()) {
    t.AccCount = CInt(t.AccCount + 1);
    const RecordReader read(accessories, t.AccCount, store, table);
    read(t.AccCost, "Cost");
    read(t.AccEspo, "Espo");
    read(t.AccOPZBoc, "OPZBoc");
  }
  accessories.Close();
}

}  // namespace

std::span<const SeriesInfo> AllSeries() {
  return kSeries;
}

const SeriesInfo& InfoOf(Series series) {
  return kSeries[static_cast<std::size_t>(series)];
}

std::optional<Series> SeriesFromName(std::string_view name) {
  for (const SeriesInfo& info : kSeries) {
    if (name == info.name) return info.series;
  }
  return std::nullopt;
}

std::vector<std::string> LoadSeriesTable(Series series, const CatalogueStore& store,
                                         ModelTables& tables, CoilConstants& constants,
                                         CoilRatingState& state, const std::string& allItemText,
                                         const std::function<void()>& pendingEvents) {
  const SeriesInfo& info = InfoOf(series);
  Dimension(series, tables, info.capacity);
  if (info.coilSet) SelectCoilConstants(constants, state, *info.coilSet);

  Recordset records = store.OpenRecordset(info.source);
  const std::string table = TableOf(info.source);
  std::vector<std::string> items{allItemText};
  int m = 0;
  for (records.MoveFirst(); !records.IsEof();) {
    m = CInt(m + 1);
    ReadRecord(series, RecordReader(records, m, store, table), tables);
    const std::string& name = tables.TabModello(m);
    // A starred model is a companion (the second coil of an "HX" pair): it stays in the
    // tables under its own index but is not offered on its own.
    items.push_back(info.star && !name.empty() && name.back() == '*' ? kStarredModelEntry : name);
    records.MoveNext();
    if (pendingEvents) pendingEvents();
  }
  tables.ModelCount = static_cast<std::int16_t>(m);
  records.Close();

  if (info.accessorySource != nullptr) LoadAccessories(info.accessorySource, store, tables);
  return items;
}

}  // namespace vestra
