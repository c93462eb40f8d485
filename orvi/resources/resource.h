// Resource and control identifiers shared by the resource scripts and the code.
// Each block belongs to one dialog; keep new ids inside the block of their dialog.
#pragma once

// ---- shell: menu, About box, host communication dialog, please-wait window ----
// Menu "Menu": &Arquivo/&Sair, &Configurar/&Comunicação and Diagnóstico da linha..., &Orvi/&Configurador and &Busca
// Automática, Aj&uda/S&obre.
#define IDM_ABOUT 40002
#define IDM_EXIT 40003
#define IDM_HOST_COMM 40005
#define IDM_CONFIG_SHEET 40031
#define IDM_AUTO_SEARCH 40033
#define IDM_LINE_DIAGNOSIS 40112
// The records' commands, also in the sheet's system menu: below 0xF000 with the low four bits clear,
// which the system keeps for itself in WM_SYSCOMMAND.
#define IDM_SAVE_CONFIG_FILE 40048
#define IDM_OPEN_CONFIG_FILE 40064
#define IDM_COMMISSIONING_REPORT 40080
#define IDM_CHANGE_HISTORY 40096
// A configuration file prepared at the desk: edited or made new on the sheet, without a transmitter.
#define IDM_EDIT_CONFIG_FILE 40128
#define IDM_NEW_CONFIG_FILE 40144
// Host communication dialog "Comunic": OK, Cancel, rate buttons &1200 &2400 &4800 &9600 192&00.
#define IDC_HOST_PORT 1000
#define IDC_HOST_RATE_1200 1002
#define IDC_HOST_RATE_2400 1003
#define IDC_HOST_RATE_4800 1004
#define IDC_HOST_RATE_9600 1005
#define IDC_HOST_RATE_19200 1006
#define IDC_HOST_ADDRESS 1031
// Line diagnosis dialog "Diagnóstico da linha...": the line examined, the verdict, Copiar and Fechar
// (IDCANCEL, which stops the examination while it runs).
#define IDD_LINE_DIAGNOSIS 111
#define IDC_LINE_DIAGNOSIS_STATE 1210
#define IDC_LINE_DIAGNOSIS_TEXT 1211
#define IDC_LINE_DIAGNOSIS_COPY 1212

// ---- sheet: Input/Output page (template 101) ----
#define IDD_IO_PAGE 101
#define IDC_UNIT_CELSIUS 1066
#define IDC_UNIT_FAHRENHEIT 1068
#define IDC_INPUT_TYPE_LIST 1103
#define IDC_OUTPUT_TYPE_LIST 1104
#define IDC_ALARM_FUNCTION_LIST 1105
#define IDC_ALARM_SET_POINT 1106
#define IDC_LOWER_LIMIT_LABEL 1117
#define IDC_UPPER_LIMIT_LABEL 1118
#define IDC_ALARM_SET_POINT_SPIN 1148
#define IDC_ALARM_HYSTERESIS_SPIN 1149
#define IDC_UNIT_LABEL 1152
#define IDC_LOWER_LIMIT 1153
#define IDC_UPPER_LIMIT 1154
#define IDC_ALARM_INITIAL_BLOCK 1155
#define IDC_LOWER_LIMIT_SPIN 1157
#define IDC_UPPER_LIMIT_SPIN 1158
#define IDC_ALARM_HYSTERESIS 1164

// ---- sheet: Communication page (template 103) ----
#define IDD_COMMUNICATION_PAGE 103
#define IDC_COMM_CONNECT 4
#define IDC_COMM_PORT 1000
#define IDC_COMM_RATE_1200 1002
#define IDC_COMM_RATE_2400 1003
#define IDC_COMM_RATE_4800 1004
#define IDC_COMM_RATE_9600 1005
#define IDC_COMM_RATE_19200 1006
#define IDC_COMM_NETWORK_ADDRESS 1031
#define IDC_COMM_NETWORK_BAUD 1127
#define IDC_COMM_MODIFY 1129
#define IDC_COMM_READ 1130
#define IDC_COMM_SEARCH 1131
#define IDC_COMM_CLOSE 1134
#define IDC_COMM_DEVICE_BAUD 1192
#define IDC_COMM_DEVICE_ADDRESS 1193

// ---- sheet: Calibration page (template 105) ----
#define IDD_CALIBRATION_PAGE 105
#define IDC_CALIBRATION_ZERO_SPIN 1145
#define IDC_CALIBRATION_SPAN_SPIN 1146
#define IDC_CALIBRATION_ZERO 1159
#define IDC_CALIBRATION_SPAN 1160
#define IDC_CALIBRATION_STATUS 1162

// ---- sheet: Diagnostic page (template 106) ----
#define IDD_DIAGNOSTIC_PAGE 106
#define IDC_DIAG_PROCESS_VALUE 1136
#define IDC_DIAG_STATUS_LIST 1152
#define IDC_DIAG_ALARM 1163
#define IDC_DIAG_UNIT 1164
#define IDC_DIAG_OFFSET_SPIN 1165
#define IDC_DIAG_SERIAL_NUMBER 1185
#define IDC_DIAG_FIRMWARE 1186
#define IDC_DIAG_OFFSET 1187
#define IDC_DIAG_FILE_OFFSET 1188

// ---- sheet on a file (no transmitter): the file's line on template 101, the reason on 103, 105, 106 ----
#define IDC_DESK_FILE_LABEL 1220
#define IDC_DESK_FILE_PATH 1221
#define IDC_PAGE_WITHOUT_LINE 1222

// ---- shell: new configuration file dialog ----
#define IDD_NEW_CONFIG_FILE 112
#define IDC_NEW_FILE_INPUT_TYPE 1224
#define IDC_NEW_FILE_TAG 1225

// ---- records: change history dialog ----
#define IDD_CHANGE_HISTORY 110
#define IDC_HISTORY_NOTE 1200
#define IDC_HISTORY_LIST 1201
#define IDC_HISTORY_JOURNAL 1202
