// The ANSI code page the group runs under: the texts are compared under 1252 and under another one.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "driver_paths.h"

namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

// A group meant for another code page must not pass under 1252 through a locale that was not taken.
TEST(CodePage, IsTheOneTheGroupRunsUnder) {
    const char* wanted = std::getenv("ORVI_E2E_CODE_PAGE");
    const UINT expected = wanted != nullptr ? static_cast<UINT>(std::atoi(wanted)) : 1252u;
    EXPECT_EQ(GetACP(), expected);
}

// The font Orvi.exe's dialogs give their labels, made here from its own template under this code page,
// has a glyph for every accented letter of the texts (a font of the system's code page draws bars).
TEST(CodePage, TheDialogFontDrawsThePortugueseLetters) {
    HMODULE orvi =
        LoadLibraryExA(OrviProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(orvi, nullptr) << OrviProgram();
    // "Tentando comunicação.    Aguarde...": a popup whose one label needs ç and ã.
    HRSRC found = FindResourceW(orvi, L"CXDLGCOMM", reinterpret_cast<LPCWSTR>(RT_DIALOG));
    ASSERT_NE(found, nullptr);
    const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(orvi, found)));
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, nullptr, QuietDialog, 0);
    ASSERT_NE(dialog, nullptr);
    HWND label = GetWindow(dialog, GW_CHILD);
    ASSERT_NE(label, nullptr);
    HDC dc = GetDC(label);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    const wchar_t letters[] = L"ãáâàçéêíóôõúüÃÁÂÇÉÍÓÔÚ°";
    const int count = static_cast<int>(wcslen(letters));
    WORD glyphs[32] = {};
    ASSERT_EQ(GetGlyphIndicesW(dc, letters, count, glyphs, GGI_MARK_NONEXISTING_GLYPHS), static_cast<DWORD>(count));
    std::string missing;
    for (int i = 0; i < count; ++i) {
        char code[8];
        wsprintfA(code, "U+%04X ", static_cast<unsigned>(letters[i]));
        if (glyphs[i] == 0xFFFF) missing += code;
    }
    EXPECT_EQ(missing, "") << "letters without a glyph in the face the system chose, "
                           << std::string(face, face + wcslen(face));
    SelectObject(dc, before);
    ReleaseDC(label, dc);
    DestroyWindow(dialog);
    FreeLibrary(orvi);
}
