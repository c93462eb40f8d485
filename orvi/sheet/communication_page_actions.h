// The Communication page's four actions; each disables its own button while it runs.
#pragma once
#include <windows.h>

void ConnectHost(HWND page);             // "&Conectar"
void ReadNetworkTransmitter(HWND page);  // "&Ler"
void ModifyNetworkSettings(HWND page);   // "&Modificar"
void SearchTransmitter(HWND page);       // "&Procurar"
