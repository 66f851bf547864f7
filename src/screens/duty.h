#pragma once

// Selection on a stated duty: the capacities a room needs (total and sensible cooling,
// heating) and the loudest sound pressure it allows. Of the rows a Calculate rated, those
// that meet every stated requirement are marked and the smallest of them - the lowest air
// flow, then the lowest speed - is the choice; each met requirement shows its margin.
// Nothing stated: nothing is marked and the screen is as it always was.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/units.h"
#include "screens/form.h"
#include "screens/rated_row.h"
#include "screens/session.h"

namespace vestra::screens {

// The requirements, in base units (W, dB(A)); each one optional.
struct RequiredDuty {
  std::optional<float> totalW, sensibleW, heatingW, soundPressureDb;
  bool Any() const { return totalW || sensibleW || heatingW || soundPressureDb; }
};

// The requirement fields in the order of txtReq(0..3).
enum class DutyTerm { kTotal = 0, kSensible = 1, kHeating = 2, kSound = 3 };

// By how much a row beats each stated requirement: capacities in per cent above the
// requirement, sound in dB(A) below the limit (negative: quieter).
struct DutyMargins {
  std::optional<double> totalPct, sensiblePct, heatingPct, soundDb;
};

// Whether one row meets the duty, and its margins (those of the terms it meets). A
// capacity is compared as the grid shows it, in whole units of `capacity`, and a sound
// pressure to the tenth of a dB: a row that shows the figure required meets it.
struct DutyVerdict {
  bool meets = false;
  DutyMargins margins;
};
DutyVerdict JudgeRow(const RatedRow& row, const RequiredDuty& duty,
                     const Unit& capacity = kUnitsPt[0]);

// The outcome over a calculation's rows.
struct DutyChoice {
  std::vector<DutyVerdict> verdicts;  // one per row
  std::optional<std::size_t> chosen;  // the row chosen, none when no row meets the duty
};
DutyChoice ChooseForDuty(const std::vector<RatedRow>& rows, const RequiredDuty& duty,
                         const Unit& capacity = kUnitsPt[0]);

// "+8 % total, +3 % sensible, −2 dB(A)" in the program's language.
std::string MarginText(const DutyMargins& margins, const Session& session);

// The line under the table: the row chosen and how many meet the duty, or, when none
// does, the first requirement no row meets and the best any row offers.
std::string DutyLine(const std::vector<RatedRow>& rows, const RequiredDuty& duty,
                     const DutyChoice& choice, const Session& session);

// The requirement fields read: empty fields are not required; a field that holds no
// number, a capacity not above zero or a sound pressure outside 0..120 dB(A) is a message
// naming the field (and the focus goes to it).
std::variant<RequiredDuty, ScreenMessage> ReadRequiredDuty(const CommonForm& form,
                                                           const Session& session);

// The captions of the requirement fields and the frame, and their units.
void SetDutyCaptions(CommonForm& form, const Session& session);

// The caption of one requirement (as messages name it).
std::string DutyTermCaption(DutyTerm term, const Session& session);

// The capacities typed in one unit rewritten in another (the units changed).
void ConvertDutyFields(CommonForm& form, const Settings& previous, const Session& session);

// The marks of the grid and the line under it after a Calculate; `select` is the grid row
// to select and bring into view, if any.
struct DutyMarks {
  std::optional<int> selectRow;
};
DutyMarks MarkDuty(CommonForm& form, const std::vector<RatedRow>& rows, const RequiredDuty& duty,
                   const Session& session);

// The program's own texts, which the catalogue's language table does not hold: Italian
// for the Italian program, English for every other language.
std::string OwnText(const Session& session, const std::string& italian, const std::string& english);

}  // namespace vestra::screens
