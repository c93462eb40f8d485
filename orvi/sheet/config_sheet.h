// The four-page configuration sheet and the page procedures the shell runs on their own.
#pragma once
#include <windows.h>

class SheetHost;
struct SheetFile;

// Opens the property sheet modally, owned by owner, for the program host; returns when it closes.
// A file opened before the sheet (from the service window) comes up on the pages once the
// transmitter has been read.
INT_PTR OpenConfigSheet(const SheetHost& host, HWND owner, const SheetFile* file = nullptr);

// The Communication page procedure, also run as the stand-alone search dialog (template 103).
INT_PTR CALLBACK CommunicationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The live pages (templates 105 and 106).
INT_PTR CALLBACK CalibrationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DiagnosticPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
