// The configurator's side of the sheet's host: its resources, please-wait window and records' commands.
#pragma once

class SheetHost;

// The one host every sheet and search dialog of this program is opened with.
const SheetHost& ProgramSheetHost();
