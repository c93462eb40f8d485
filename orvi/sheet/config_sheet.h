// The four-page configuration sheet and the page procedures the shell runs on their own.
#pragma once
#include <windows.h>

class SheetHost;
struct DeskFile;
struct SheetFile;

// Opens the property sheet modally, owned by owner, for the program host; returns when it closes.
// A file opened before the sheet (from the service window) comes up on the pages once the
// transmitter has been read.
INT_PTR OpenConfigSheet(const SheetHost& host, HWND owner, const SheetFile* file = nullptr);

// Opens the sheet modally on a configuration file alone: its values on the pages, the pages that need a
// line disabled, OK and Apply writing the file. Nothing is sent to a transmitter.
INT_PTR OpenDeskFileSheet(const SheetHost& host, HWND owner, const DeskFile& desk);

// The Communication page procedure, also run as the stand-alone search dialog (template 103).
INT_PTR CALLBACK CommunicationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The live pages (templates 105 and 106).
INT_PTR CALLBACK CalibrationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DiagnosticPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Templates 103, 105 and 106 on a desk file (desk_file_pages.cpp).
INT_PTR CALLBACK DeskCommunicationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeskCalibrationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeskDiagnosticPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
