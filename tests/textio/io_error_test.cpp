#include "textio/io_error.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using textio::IoErrorKind;

GTEST_TEST(IoError, ReportNamesTheErrorTheUnitAndTheFile) {
    struct Case {
        const char* what;
        IoErrorKind kind;
        int unit;
        const char* file;
        const char* report;
    };
    constexpr Case cases[] = {
        {"figure file ends too early", IoErrorKind::end_of_file, 14, "pelidor.sym",
         "forrtl: severe (24): end-of-file during read, unit 14, file pelidor.sym"},
        {"letters in a number field", IoErrorKind::conversion, 14, "pelidor.sym",
         "forrtl: severe (64): input conversion error, unit 14, file pelidor.sym"},
        {"log gone before the second pass", IoErrorKind::file_not_found, 5, "pelidor.rtr",
         "forrtl: severe (29): file not found, unit 5, file pelidor.rtr"},
        {"read-only folder", IoErrorKind::permission_denied, 2, "pelidor.vvd",
         "forrtl: severe (9): permission to access file denied, unit 2, file pelidor.vvd"},
        {"disk full", IoErrorKind::write_error, 3, "pelidor.rtr",
         "forrtl: severe (38): error during write, unit 3, file pelidor.rtr"},
        {"file that cannot be opened", IoErrorKind::open_failure, 2, "pelidor.vvd",
         "forrtl: severe (30): open failure, unit 2, file pelidor.vvd"},
        {"close fails", IoErrorKind::close_error, 3, "pelidor.rtr",
         "forrtl: severe (28): close error, unit 3, file pelidor.rtr"},
        {"read fails", IoErrorKind::read_error, 14, "pelidor.sym",
         "forrtl: severe (39): error during read, unit 14, file pelidor.sym"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const textio::IoError error(c.kind, c.unit, c.file);
        EXPECT_EQ(error.message(), c.report);
        EXPECT_STREQ(error.what(), c.report);
    }
}

GTEST_TEST(IoError, RaiseThrowsTheErrorWithItsDetails) {
    try {
        textio::raise_io_error(IoErrorKind::end_of_file, 14, "pelidor.sym");
        FAIL() << "raise_io_error returned";
    } catch (const textio::IoError& error) {
        EXPECT_EQ(error.kind(), IoErrorKind::end_of_file);
        EXPECT_EQ(error.unit(), 14);
        EXPECT_EQ(error.file(), "pelidor.sym");
        EXPECT_EQ(error.message(),
                  "forrtl: severe (24): end-of-file during read, unit 14, file pelidor.sym");
    }
}

}  // namespace
