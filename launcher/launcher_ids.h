// Identifiers of the launcher's menu, shared by its resource script and its code.
#pragma once

#define IDM_LAUNCHER_ABOUT 40002
#define IDM_LAUNCHER_EXIT 40003
#define IDM_RUVEL_TASKO 40032
#define IDM_MIREL 40033
#define IDM_ORVI_SHEET 40034
#define IDM_ORVI_SEARCH 40035
#define IDM_GRAVLO_CONFIG 40036
#define IDM_GRAVLO_SEARCH 40037
