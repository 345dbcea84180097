#include "LogRecords.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/Failure.h"

#include <gtest/gtest.h>

namespace cardtool {
namespace {

std::string record(std::string_view date, std::string_view function, std::int32_t number) {
    const cardformat::Failure failure{number, cardformat::describeFailure(number)};
    return cardformat::ErrorLog::readable(
        cardformat::ErrorLog::formatRecord(date, function, failure));
}

TEST(LogRecordsTest, EachRecordIsOneLineWithDateFunctionAndFailure) {
    const std::string log =
        record("12/08/26", "Swf2Exe()", 53) + record("12/09/26", "getNote()", 62);
    EXPECT_EQ(logRecordLines(log), "12/08/26  Swf2Exe()  53 文件未找到\n"
                                   "12/09/26  getNote()  62 输入超出文件尾\n");
}

TEST(LogRecordsTest, DatesWithLettersAndFunctionsWithoutParentheses) {
    EXPECT_EQ(logRecordLines(record("2026年12月08日", "getFlashHeader", 5)),
              "2026年12月08日  getFlashHeader  5 无效的过程调用或参数\n");
    EXPECT_EQ(logRecordLines(record("Dec 8 2026 ", "Dec2Bin", 6)), "Dec 8 2026  Dec2Bin  6 溢出\n");
}

TEST(LogRecordsTest, ACutOffRecordAndForeignLinesAreKept) {
    const std::string cut = record("12/08/26", "Exe2Swf()", 53);
    const std::string heading = cut.substr(0, cut.find('\n') + 1);
    EXPECT_EQ(logRecordLines("something else\n" + heading),
              "something else\n12/08/26  Exe2Swf()\n");
    // A record with no failure pending logs code 0 and no description.
    EXPECT_EQ(logRecordLines(record("8.12.26", "writeNote()", 0)), "8.12.26  writeNote()  0\n");
}

} // namespace
} // namespace cardtool
