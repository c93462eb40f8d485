// Which files the configurator hands to the browser: pages only, since any other type's association
// may run the file.
#include <gtest/gtest.h>

#include "browser_open.h"

namespace {

TEST(BrowserOpen, OnlyHtmAndHtmlFilesArePages) {
    const struct {
        const wchar_t* file;
        bool page;
    } rows[] = {
        {L"C:\\relat\u00f3rios\\relatorio-00012345.html", true},
        {L"C:\\r\\RELATORIO.HTM", true},
        {L"\\\\servidor\\pasta\\a.Html", true},
        {L"C:\\r\\relatorio.cmd", false},
        {L"C:\\r\\relatorio.html.exe", false},
        {L"C:\\r\\relatorio.html.", false},  // a trailing dot or blank: not the name as written
        {L"C:\\r\\relatorio.html ", false},
        {L"C:\\r\\relatorio.exe:a.html", false},  // a stream of the program file
        {L"C:\\pasta.html\\relatorio", false},
        {L"C:\\r\\html", false},
        {L"", false},
    };
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i)
        EXPECT_EQ(rows[i].page, IsBrowserPage(rows[i].file)) << "row " << i;
}

}  // namespace
