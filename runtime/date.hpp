// Dates and the clock.
#pragma once

#include "runtime/value.hpp"

#include <string>

namespace rt {

Date DATE(Loc loc = Loc::current());
// Day of the week: 1 Sunday, 2 Monday, ... 7 Saturday; 0 for the empty date.
int DOW(const Date& d);
int DAY(const Date& d);
int MONTH(const Date& d);
int YEAR(const Date& d);
// Eight digits, year first; eight blanks for the empty date.
std::string DTOS(const Date& d);
// The date in the date format in force (setting 4), e.g. "dd.mm.yyyy".
std::string DTOC(const Date& d);
// The current time as "hh:mm:ss".
std::string TIME(Loc loc = Loc::current());

// The date after adding days (negative to go back).
Date addDays(const Date& d, int days);

} // namespace rt
