// Text, number and date helpers, which count positions from 1.
#include "runtime/date.hpp"
#include "runtime/text.hpp"

#include <gtest/gtest.h>

namespace {

using namespace rt;

TEST(TextHelpers, PositionsAndParts) {
    EXPECT_EQ(AT("[1]", "[1]\r\nx"), 1);
    EXPECT_EQ(AT("b", "abcb", 3), 4);
    EXPECT_EQ(AT("z", "abc"), 0);
    EXPECT_EQ(AT("", "abc"), 0);
    EXPECT_EQ(AT("a", "abc", 4), 0);
    EXPECT_EQ(SUBSTR("abcdef", 2, 3), "bcd");
    EXPECT_EQ(SUBSTR("abcdef", 5), "ef");
    EXPECT_EQ(SUBSTR("abcdef", 0, 2), "ab");
    EXPECT_EQ(SUBSTR("abcdef", -2), "ef");
    EXPECT_EQ(SUBSTR("abcdef", 3, -1), "");
    EXPECT_EQ(SUBSTR("abc", 9, 2), "");
}

TEST(TextHelpers, BlanksOnly) {
    EXPECT_EQ(ALLTRIM("  a b \r\n "), "a b \r\n");
    EXPECT_EQ(LTRIM("  a "), "a ");
    EXPECT_EQ(TRIM("  a "), "  a");
    EXPECT_EQ(ALLTRIM("   "), "");
    EXPECT_EQ(SPACE(3), "   ");
    EXPECT_EQ(REPLICATE("-", 4), "----");
}

TEST(NumberHelpers, TextForms) {
    EXPECT_EQ(STR(2), "         2");
    EXPECT_EQ(ALLTRIM(STR(-17)), "-17");
    EXPECT_EQ(STR(1.5), "      1.50");
    EXPECT_EQ(STR(123, 2), "**");
    EXPECT_EQ(STRZERO(2, 2, 0), "02");
    EXPECT_EQ(STRZERO(0, 2, 0), "00");
    EXPECT_EQ(STRZERO(11, 2, 0), "11");
    EXPECT_EQ(PADL(Value(7), 3, '0'), "007");
    EXPECT_EQ(PADL(Value(999), 3, '0'), "999");
    EXPECT_EQ(VAL("12"), 12);
    EXPECT_EQ(VAL(" 03x"), 3);
    EXPECT_EQ(VAL("abc"), 0);
    EXPECT_EQ(INT(13 / 7.0), 1);
    EXPECT_EQ(INT(-1.5), -1);
    EXPECT_EQ(STRTRAN("a;b;c", ";", "\r"), "a\rb\rc");
}

TEST(ValueHelpers, EmptyAndTypes) {
    EXPECT_TRUE(EMPTY(NIL));
    EXPECT_TRUE(EMPTY(Value(0)));
    EXPECT_TRUE(EMPTY(Value("  ")));
    EXPECT_TRUE(EMPTY(Value(false)));
    EXPECT_TRUE(EMPTY(Value(makeArray())));
    EXPECT_FALSE(EMPTY(Value(32)));
    EXPECT_FALSE(EMPTY(Value("x")));
    EXPECT_EQ(VALTYPE(NIL), "U");
    EXPECT_EQ(VALTYPE(Value("x")), "C");
    EXPECT_EQ(VALTYPE(Value(1)), "N");
    EXPECT_EQ(VALTYPE(Value(true)), "L");
    EXPECT_EQ(VALTYPE(Value(Date{2026, 1, 1})), "D");
    EXPECT_EQ(VALTYPE(Value(makeArray())), "A");
}

TEST(DateHelpers, WeekdaysDigitsAndArithmetic) {
    EXPECT_EQ(DOW(Date{2026, 12, 6}), 1);  // Sunday
    EXPECT_EQ(DOW(Date{2026, 12, 11}), 6); // Friday
    EXPECT_EQ(DOW(Date{2000, 2, 29}), 3);  // Tuesday
    EXPECT_EQ(DOW(Date{}), 0);
    EXPECT_EQ(DTOS(Date{2027, 1, 5}), "20270105");
    EXPECT_EQ(DTOS(Date{}), "        ");
    EXPECT_EQ(DAY(Date{2026, 12, 31}), 31);
    EXPECT_EQ(addDays(Date{2026, 12, 31}, 1), (Date{2027, 1, 1}));
    EXPECT_EQ(addDays(Date{2024, 3, 1}, -1), (Date{2024, 2, 29}));
}

} // namespace
