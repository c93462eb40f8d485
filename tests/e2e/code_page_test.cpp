// The ANSI code page the group runs under: the texts are compared under 1252 and under another one.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

// A group meant for another code page must not pass under 1252 through a locale that was not taken.
TEST(CodePage, IsTheOneTheGroupRunsUnder) {
    const char* wanted = std::getenv("ORVI_E2E_CODE_PAGE");
    const UINT expected = wanted != nullptr ? static_cast<UINT>(std::atoi(wanted)) : 1252u;
    EXPECT_EQ(GetACP(), expected);
}
