#include "Lib/Exception.h"

#include <gtest/gtest.h>

TEST(Exception, TheReportNamesMessagePlaceAndLineAndTheResultCodeOnlyWhenThereIsOne) {
    const except::Exception plain("Can't get FSX version.",
                                  "..\\..\\Src\\Lib\\FSX\\SimConnectWrapper",
                                  "except::SimConnectWrapper::Init", 61);
    EXPECT_STREQ(plain.what(), "Message : Can't get FSX version.\n"
                               "File    : ..\\..\\Src\\Lib\\FSX\\SimConnectWrapper\n"
                               "Function: except::SimConnectWrapper::Init\n"
                               "Line    : 61\n");
    EXPECT_EQ(plain.ResultCode(), 0);

    const except::Exception coded("Buffer lost", "f", "g", 3,
                                  static_cast<std::int32_t>(0x88780096u));
    EXPECT_STREQ(coded.what(), "Message : Buffer lost\n"
                               "          DSERR_BUFFERLOST, The buffer memory has been lost, and "
                               "must be restored.\n"
                               "File    : f\nFunction: g\nLine    : 3\n");
    const except::Exception unknown("x", "f", "g", 1, 0x1234);
    EXPECT_NE(std::string(unknown.what()).find("          0x00001234, Unknown error.\n"),
              std::string::npos);

    const except::Exception copy = coded;
    EXPECT_STREQ(copy.what(), coded.what());
}

TEST(Exception, AWideMessageNarrowsToTheAnsiCodePage) {
    const except::Exception e(std::wstring(L"Caf\u00e9 \u20ac"), "f", "g", 2);
    EXPECT_EQ(e.Message(), "Caf\xe9 ?");
    EXPECT_EQ(except::Exception(std::wstring(L"plain text"), "f", "g", 2).Message(), "plain text");
}
