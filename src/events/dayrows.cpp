#include "events/dayrows.h"

#include "base/dateformat.h"

namespace redoviri {

DayRow MakeDayRow(std::string_view line, bool monthFirst) {
  const std::optional<EventCategory> category = CategoryFromCode(ReadCategoryCode(line));

  DayRow row;
  row[kNameColumn] = ReadName(line);
  row[kDateColumn] = JoinNumericDate(
      {.day = ReadField(line, kDayField), .month = ReadField(line, kMonthField), .year = ReadField(line, kYearField)},
      monthFirst);
  row[kTimeColumn] = ReadField(line, kTimeField);
  row[kCategoryColumn] = category ? std::string(InfoOf(*category).word) : std::string();
  row[kCommentColumn] = ReadComment(line);
  row[kEachYearColumn] = ReadField(line, kEachYearField);
  row[kEachMonthColumn] = ReadField(line, kEachMonthField);
  row[kOnlyOnceColumn] = ReadField(line, kOnlyOnceField);
  row[kEachNDaysColumn] = ReadField(line, kEachNDaysField);
  row[kDayCountColumn] = ReadField(line, kDayCountField);
  // A rule of the tail is none of the four kinds: its flags are only what
  // an older version reads.
  if (const TailReading tail = ReadRuleTail(line); tail.ok() && tail.rule.Repeats()) {
    for (const int column : {kEachYearColumn, kEachMonthColumn, kOnlyOnceColumn, kEachNDaysColumn}) row[column] = "N";
    row[kDayCountColumn] = "000";
  }
  return row;
}

}  // namespace redoviri
