// Help in Orvi.exe's sheet: the Help button opens each page's section of the guide in the browser, or,
// where the guide is missing, its context of an ORVI.HLP beside the program; F1 speaks only on Calibração.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "driver_paths.h"

#include "driver_help_viewer.h"
#include "driver_message_box.h"
#include "live_sheet.h"
#include "sheet_fixture.h"

namespace {

const char kCalibrationCaption[] = "Calibração";
// WM_KEYF1: what the system makes of the F1 key (not declared by MinGW's winuser.h).
constexpr UINT kKeyF1 = 0x004D;

class SheetHelp : public SheetOnSimulator {
protected:
    // Shows a page other than the first; the Calibration page first explains itself in a box.
    HWND ShowPage(int index, const char* caption) {
        if (std::string(caption) != kCalibrationCaption) {
            PostSelectPage(session.sheet, index);
            return WaitForPage(session.sheet, caption);
        }
        SeenMessageBox notice;
        HWND page = ShowCalibrationPage(session.orvi.Id(), session.sheet, &notice);
        EXPECT_EQ(notice.caption, "Atenção");
        return page;
    }

    // Shows each page in turn, presses its Help button and hands the request to check with the
    // page's context number.
    void PressEachPagesHelp(const std::function<void(const HelpRequest&, LONG context)>& check) {
        const struct {
            int index;
            const char* caption;
            LONG context;
        } pages[] = {
            {0, "Entrada/Saída", 5}, {1, "Comunicação", 7}, {2, kCalibrationCaption, 8}, {3, "Diagnóstico", 14}};
        for (const auto& page : pages) {
            SCOPED_TRACE(page.caption);
            if (page.index != 0) {
                ASSERT_NE(ShowPage(page.index, page.caption), nullptr);
            }
            PressButton(session.sheet, IDHELP);
            HelpRequest request;
            ASSERT_TRUE(viewer.WaitForRequest(&request)) << "no help request";
            check(request, page.context);
        }
    }

    HelpViewerWindow viewer;
};

// An ORVI.HLP beside Orvi.exe for as long as it lives.
class OldHelpFile {
public:
    OldHelpFile() : path_(DistFolder() + "\\ORVI.HLP") { std::ofstream(path_, std::ios::binary) << "?_\x03"; }
    ~OldHelpFile() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The guide moved away from beside Orvi.exe for as long as this lives, as on an installation without it.
class GuideMissing {
public:
    GuideMissing() : path_(DistFolder() + "\\orvi-ajuda.html"), moved_(path_ + ".away") {
        MoveFileExA(path_.c_str(), moved_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~GuideMissing() { MoveFileExA(moved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING); }

private:
    std::string path_;
    std::string moved_;
};

TEST_F(SheetHelp, EachPagesHelpButtonOpensItsSectionOfTheGuideInTheBrowser) {
    ASSERT_TRUE(viewer.Valid());
    // The guide ships beside the program with one section for each page's number.
    std::ifstream guideFile(DistFolder() + "\\orvi-ajuda.html", std::ios::binary);
    ASSERT_TRUE(guideFile.good()) << "no orvi-ajuda.html beside Orvi.exe";
    const std::string guide((std::istreambuf_iterator<char>(guideFile)), std::istreambuf_iterator<char>());
    std::string distUrl = "file:///" + DistFolder();
    for (char& c : distUrl)
        if (c == '\\') c = '/';
    Open();
    PressEachPagesHelp([&](const HelpRequest& request, LONG context) {
        const std::string anchor = std::to_string(context);
        EXPECT_EQ(BrowserUrl(request), distUrl + "/orvi-ajuda.html#" + anchor);
        EXPECT_NE(guide.find("<h2 id=\"" + anchor + "\""), std::string::npos) << "no section " << anchor;
    });
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

TEST_F(SheetHelp, AnOldHelpFileBesideTheProgramOpensOnlyWhereTheGuideIsMissing) {
    ASSERT_TRUE(viewer.Valid());
    OldHelpFile oldHelp;
    Open();
    PressEachPagesHelp([&](const HelpRequest& request, LONG context) {
        // WinHelp is a stub on current Windows: the guide comes first even with ORVI.HLP beside it.
        EXPECT_EQ(request.file, "") << "the old help file was opened although the guide is there";
        EXPECT_NE(BrowserUrl(request).find("/orvi-ajuda.html#" + std::to_string(context)), std::string::npos)
            << BrowserUrl(request);

        GuideMissing missing;
        PressButton(session.sheet, IDHELP);
        HelpRequest old;
        ASSERT_TRUE(viewer.WaitForRequest(&old)) << "no help request without the guide";
        EXPECT_EQ(old.command, static_cast<UINT>(HELP_CONTEXT));
        EXPECT_EQ(old.data, context);
        EXPECT_EQ(old.file, oldHelp.Path());
    });
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

TEST_F(SheetHelp, F1ShowsAMessageOnTheCalibrationPageAndNothingOnTheLivePagesBeforeIt) {
    ASSERT_TRUE(viewer.Valid());
    Open();
    // The page hears F1 as WM_HELP. Posted in one
    // row with the change to Calibração, a box or help request from the first two would come first
    // (a help request would even hold Orvi.exe until this driver handles it, so no box would come).
    HWND communication = ShowPage(1, "Comunicação");
    ASSERT_NE(communication, nullptr);
    PostMessageA(communication, kKeyF1, 0, 0);
    PostSelectPage(session.sheet, 3);
    HWND diagnostic = WaitForPage(session.sheet, "Diagnóstico");
    ASSERT_NE(diagnostic, nullptr);
    PostMessageA(diagnostic, kKeyF1, 0, 0);
    HWND calibration = ShowPage(2, kCalibrationCaption);
    ASSERT_NE(calibration, nullptr);

    PostMessageA(calibration, kKeyF1, 0, 0);
    const SeenMessageBox box = WaitForMessageBox(session.orvi.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "AquisicaoProcDlg");
    EXPECT_EQ(box.text, "Mensagem WM_HELP Recebida");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

}  // namespace
