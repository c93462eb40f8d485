// The records' commands in the sheet's system menu and their dispatch from either menu.
#include "shell/records_commands.h"

#include "resource.h"
#include "ui_text.h"

const RecordsMenuItem kRecordsMenuItems[4] = {
    {IDM_SAVE_CONFIG_FILE, "Salvar configuração em arquivo..."},
    {IDM_OPEN_CONFIG_FILE, "Abrir configuração de arquivo..."},
    {IDM_COMMISSIONING_REPORT, "Relatório de comissionamento..."},
    {IDM_CHANGE_HISTORY, "Histórico de alterações..."},
};

void AddRecordsToSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == NULL) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const RecordsMenuItem& item : kRecordsMenuItems)
        AppendMenuW(menu, MF_STRING, item.command, WideFrom1252(item.text).c_str());
}

bool RunRecordsCommand(HWND owner, UINT command) {
    switch (command) {
    case IDM_SAVE_CONFIG_FILE: SaveConfigurationToFile(owner); return true;
    case IDM_OPEN_CONFIG_FILE: OpenConfigurationFile(owner); return true;
    case IDM_COMMISSIONING_REPORT: MakeCommissioningReport(owner); return true;
    case IDM_CHANGE_HISTORY: ShowChangeHistory(owner); return true;
    default: return false;
    }
}
