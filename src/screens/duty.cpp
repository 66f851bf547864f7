#include "screens/duty.h"

#include <cmath>
#include <tuple>

#include "app/numbers.h"
#include "app/units.h"
#include "screens/field_rules.h"

namespace vestra::screens {

namespace {

// The loudest limit a room may state, dB(A).
constexpr float kMaxSoundLimitDb = 120;

// A capacity as the grid shows it: whole units of the chosen capacity unit.
double Shown(float watts, const Unit& unit) {
  return std::nearbyint(double{watts} * unit.factor);
}

// A sound pressure at the grid's finest step, a tenth of a dB.
double ShownDb(float db) {
  return std::nearbyint(double{db} * 10) / 10;
}

double PercentAbove(float value, float required) {
  return std::nearbyint((double{value} / required - 1) * 100);
}

std::string Signed(double value, const std::string& number) {
  // A minus sign, not a hyphen, in front of a margin below zero.
  return (value > 0 ? "+" : value < 0 ? "\xE2\x88\x92" : "+") + number;
}

std::string WholeNumber(double value) {
  return std::to_string(static_cast<long long>(std::fabs(value)));
}

std::string Decibels(double value, char sep) {
  const double tenth = std::fabs(std::nearbyint(value * 10) / 10);
  return PlainNumberText(tenth, sep);
}

}  // namespace

std::string OwnText(const Session& session, const std::string& italian,
                    const std::string& english) {
  return session.settings.LangBase == 100 ? italian : english;
}

DutyVerdict JudgeRow(const RatedRow& row, const RequiredDuty& duty, const Unit& capacity) {
  DutyVerdict v;
  v.meets = duty.Any();
  auto capacityTerm = [&](const std::optional<float>& required, bool rated, float value,
                          std::optional<double>& margin) {
    if (!required) return;
    // The requirement as typed comes back through the unit factor a hair off a whole
    // number; a thousandth of the unit is well below what the grid shows.
    if (!rated || Shown(value, capacity) + 1e-3 < double{*required} * capacity.factor) {
      v.meets = false;
      return;
    }
    margin = PercentAbove(value, *required);
  };
  const bool cooled = row.cooling.HasFigures();
  capacityTerm(duty.totalW, cooled, row.cooling.figures.totalW, v.margins.totalPct);
  capacityTerm(duty.sensibleW, cooled, row.cooling.figures.sensibleW, v.margins.sensiblePct);
  capacityTerm(duty.heatingW, row.heating.HasFigures(), row.heating.figures.capacityW,
               v.margins.heatingPct);
  if (duty.soundPressureDb) {
    if (!row.soundShown || ShownDb(row.soundPressureDb) > ShownDb(*duty.soundPressureDb))
      v.meets = false;
    else
      v.margins.soundDb = ShownDb(row.soundPressureDb) - ShownDb(*duty.soundPressureDb);
  }
  return v;
}

DutyChoice ChooseForDuty(const std::vector<RatedRow>& rows, const RequiredDuty& duty,
                         const Unit& unit) {
  DutyChoice c;
  if (!duty.Any()) return c;
  // The smallest unit that does the job: the least air flow, then the slowest fan.
  auto size = [&](std::size_t i) {
    const RatedRow& r = rows[i];
    return std::make_tuple(r.airFlowM3s, r.fanSpeedRpm ? *r.fanSpeedRpm : r.step);
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    c.verdicts.push_back(JudgeRow(rows[i], duty, unit));
    if (c.verdicts.back().meets && (!c.chosen || size(i) < size(*c.chosen))) c.chosen = i;
  }
  return c;
}

std::string MarginText(const DutyMargins& m, const Session& session) {
  const char sep = session.Decimal();
  std::string out;
  auto add = [&](const std::string& part) { out += (out.empty() ? "" : ", ") + part; };
  if (m.totalPct)
    add(Signed(*m.totalPct, WholeNumber(*m.totalPct)) + " % " +
        OwnText(session, "totale", "total"));
  if (m.sensiblePct)
    add(Signed(*m.sensiblePct, WholeNumber(*m.sensiblePct)) + " % " +
        OwnText(session, "sensibile", "sensible"));
  if (m.heatingPct)
    add(Signed(*m.heatingPct, WholeNumber(*m.heatingPct)) + " % " +
        OwnText(session, "riscaldamento", "heating"));
  if (m.soundDb) add(Signed(*m.soundDb, Decibels(*m.soundDb, sep)) + " dB(A)");
  return out;
}

std::string DutyTermCaption(DutyTerm term, const Session& session) {
  switch (term) {
    case DutyTerm::kTotal:
      return OwnText(session, "Resa frigorifera totale", "Total cooling");
    case DutyTerm::kSensible:
      return OwnText(session, "Resa frigorifera sensibile", "Sensible cooling");
    case DutyTerm::kHeating:
      return OwnText(session, "Resa termica", "Heating");
    case DutyTerm::kSound:
      return OwnText(session, "Pressione sonora massima", "Sound pressure at most");
  }
  return "";
}

std::string DutyLine(const std::vector<RatedRow>& rows, const RequiredDuty& duty,
                     const DutyChoice& choice, const Session& session) {
  if (!duty.Any() || rows.empty()) return "";
  const Unit& unit = ChosenUnit(session.settings, Quantity::kCapacity);
  const char sep = session.Decimal();
  auto rowName = [&](const RatedRow& r) {
    return r.modelName + (r.speedName && !r.speedName->empty() ? " " + *r.speedName : "");
  };
  if (choice.chosen) {
    std::size_t meeting = 0;
    for (const DutyVerdict& v : choice.verdicts) meeting += v.meets ? 1 : 0;
    const RatedRow& r = rows[*choice.chosen];
    const std::string margins = MarginText(choice.verdicts[*choice.chosen].margins, session);
    return OwnText(session,
                   "Scelto: " + rowName(r) + " (" + margins + "); " + std::to_string(meeting) +
                       (meeting == 1 ? " riga soddisfa" : " righe soddisfano") +
                       " la resa richiesta",
                   "Chosen: " + rowName(r) + " (" + margins + "); " + std::to_string(meeting) +
                       (meeting == 1 ? " row meets" : " rows meet") + " the required duty");
  }
  // No row meets the duty: the first term no row meets on its own, with the best offered.
  auto capacity = [&](const std::optional<float>& required, DutyTerm term, auto figure) {
    if (!required) return std::string();
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::optional<float> value = figure(rows[i]);
      if (value && (!best || *value > *figure(rows[*best]))) best = i;
    }
    RequiredDuty alone;
    (term == DutyTerm::kTotal      ? alone.totalW
     : term == DutyTerm::kSensible ? alone.sensibleW
                                   : alone.heatingW) = required;
    for (const RatedRow& r : rows)
      if (JudgeRow(r, alone, unit).meets) return std::string();
    const std::string wanted = DisplayValue(*required, unit, sep) + " " + std::string(unit.name);
    const std::string caption = DutyTermCaption(term, session);
    if (!best)
      return OwnText(session, "Nessuna riga ha " + caption + ": richiesta " + wanted,
                     "No row has " + caption + ": required " + wanted);
    const std::string most = DisplayValue(*figure(rows[*best]), unit, sep) + " " +
                             std::string(unit.name) + " (" + rowName(rows[*best]) + ")";
    return OwnText(
        session,
        caption + " richiesta " + wanted + ": nessuna riga la raggiunge, al massimo " + most,
        caption + " of " + wanted + " required: no row reaches it, the most is " + most);
  };
  auto cooling = [](auto member) {
    return [member](const RatedRow& r) -> std::optional<float> {
      if (!r.cooling.HasFigures()) return std::nullopt;
      return r.cooling.figures.*member;
    };
  };
  for (const std::string& line :
       {capacity(duty.totalW, DutyTerm::kTotal, cooling(&CoolingFigures::totalW)),
        capacity(duty.sensibleW, DutyTerm::kSensible, cooling(&CoolingFigures::sensibleW)),
        capacity(duty.heatingW, DutyTerm::kHeating, [](const RatedRow& r) -> std::optional<float> {
          if (!r.heating.HasFigures()) return std::nullopt;
          return r.heating.figures.capacityW;
        })})
    if (!line.empty()) return line;
  if (duty.soundPressureDb) {
    std::optional<std::size_t> quietest;
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i].soundShown &&
          (!quietest || rows[i].soundPressureDb < rows[*quietest].soundPressureDb))
        quietest = i;
    RequiredDuty alone;
    alone.soundPressureDb = duty.soundPressureDb;
    bool anyQuiet = false;
    for (const RatedRow& r : rows) anyQuiet = anyQuiet || JudgeRow(r, alone, unit).meets;
    if (!anyQuiet) {
      const std::string limit = Decibels(*duty.soundPressureDb, sep) + " dB(A)";
      if (!quietest)
        return OwnText(session,
                       "Nessuna riga ha la pressione sonora: richiesta al massimo " + limit,
                       "No row has a sound pressure: at most " + limit + " required");
      const std::string least = Decibels(rows[*quietest].soundPressureDb, sep) + " dB(A) (" +
                                rowName(rows[*quietest]) + ")";
      return OwnText(session,
                     "Pressione sonora al massimo " + limit +
                         ": nessuna riga è così silenziosa, la più silenziosa ha " + least,
                     "Sound pressure of at most " + limit +
                         ": no row is that quiet, the quietest has " + least);
    }
  }
  return OwnText(session,
                 "Nessuna riga soddisfa insieme tutta la resa richiesta: ciascun requisito è "
                 "soddisfatto da righe diverse",
                 "No row meets the whole required duty at once: each requirement is met by "
                 "other rows");
}

std::variant<RequiredDuty, ScreenMessage> ReadRequiredDuty(const CommonForm& form,
                                                           const Session& session) {
  RequiredDuty duty;
  const Unit& unit = ChosenUnit(session.settings, Quantity::kCapacity);
  for (int k = 0; k < kDutyFields; ++k) {
    const TextBox& field = form.txtReq[static_cast<std::size_t>(k)];
    bool blank = true;
    for (const char c : field.Text) blank = blank && (c == ' ' || c == '\t');
    if (blank) continue;
    const auto term = static_cast<DutyTerm>(k);
    const std::string caption = DutyTermCaption(term, session);
    const FieldNumber n = ReadFieldNumber(field, session);
    const bool sound = term == DutyTerm::kSound;
    const std::string range =
        sound ? "0 .. " + PlainNumberText(kMaxSoundLimitDb, session.Decimal()) + " dB(A)"
              : OwnText(session, "più di 0 ", "above 0 ") + std::string(unit.name);
    if (n.kind != FieldNumber::kValue || !(sound ? n.value >= 0 && n.value <= kMaxSoundLimitDb
                                                 : n.value > 0 && std::isfinite(n.value)))
      return ScreenMessage{
          OwnText(session,
                  caption + ": \"" + field.Text + "\" non è un valore valido (" + range + ")",
                  caption + ": \"" + field.Text + "\" is not a valid value (" + range + ")"),
          Icon::kError, Control(Ctl::txtReq, k)};
    const float base = sound ? n.value : BaseFromTyped(n.value, unit);
    switch (term) {
      case DutyTerm::kTotal:
        duty.totalW = base;
        break;
      case DutyTerm::kSensible:
        duty.sensibleW = base;
        break;
      case DutyTerm::kHeating:
        duty.heatingW = base;
        break;
      case DutyTerm::kSound:
        duty.soundPressureDb = base;
        break;
    }
  }
  return duty;
}

void SetDutyCaptions(CommonForm& form, const Session& session) {
  form.frmDuty.Caption = OwnText(session, "Resa richiesta", "Required duty");
  const std::string unit(ChosenUnit(session.settings, Quantity::kCapacity).name);
  for (int k = 0; k < kDutyFields; ++k) {
    const auto i = static_cast<std::size_t>(k);
    form.lblReq[i].Caption = DutyTermCaption(static_cast<DutyTerm>(k), session);
    form.lblumReq[i].Caption = k == static_cast<int>(DutyTerm::kSound) ? "dB(A)" : unit;
  }
}

void ConvertDutyFields(CommonForm& form, const Settings& previous, const Session& session) {
  const Unit& from = ChosenUnit(previous, Quantity::kCapacity);
  const Unit& to = ChosenUnit(session.settings, Quantity::kCapacity);
  for (int k = 0; k < static_cast<int>(DutyTerm::kSound); ++k) {
    TextBox& field = form.txtReq[static_cast<std::size_t>(k)];
    if (from.factor == to.factor) continue;
    const FieldNumber n = ReadFieldNumber(field, session);
    if (n.kind != FieldNumber::kValue) continue;
    field.Text = DisplayValue(BaseFromTyped(n.value, from), to, session.Decimal());
  }
  SetDutyCaptions(form, session);
}

DutyMarks MarkDuty(CommonForm& form, const std::vector<RatedRow>& rows, const RequiredDuty& duty,
                   const Session& session) {
  DutyMarks marks;
  ResultsGrid& grid = form.Grd;
  grid.Marks.clear();
  form.lblDuty.Caption.clear();
  form.lblDuty.Visible = false;
  if (!duty.Any() || rows.empty()) return marks;
  const DutyChoice choice =
      ChooseForDuty(rows, duty, ChosenUnit(session.settings, Quantity::kCapacity));
  const int first = grid.RowCount() - static_cast<int>(rows.size());
  grid.Marks.assign(static_cast<std::size_t>(grid.RowCount()), {});
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DutyVerdict& v = choice.verdicts[i];
    if (!v.meets) continue;
    ResultsGrid::RowMark& mark = grid.Marks[static_cast<std::size_t>(first) + i];
    mark.kind = choice.chosen == i ? ResultsGrid::RowMark::kChosen : ResultsGrid::RowMark::kMeets;
    mark.margins = MarginText(v.margins, session);
  }
  form.lblDuty.Caption = DutyLine(rows, duty, choice, session);
  form.lblDuty.Visible = !form.lblDuty.Caption.empty();
  if (choice.chosen) marks.selectRow = first + static_cast<int>(*choice.chosen);
  return marks;
}

}  // namespace vestra::screens
