// Timing Orvi.exe as a user meets it: the sheet opening, a full apply, the automatic search.
#pragma once
#include <cstdint>
#include <string>

#include "driver_process.h"
#include "sim_client.h"

double NowMs();

// The transmitter (address 1) answers at baud only, and orvi.ini points the configurator there.
void PutTransmitterAt(SimClient& sim, int32_t baud);

struct SheetTimes {
    double openMs = -1;   // Orvi.exe "CN" started -> Input/Output lists filled
    double closeMs = -1;  // OK or Cancel pressed -> process ended
};
// Opens the sheet, then closes it with OK (ok) or Cancel. Negative times: that step did not complete.
SheetTimes OpenAndClose(bool ok);

// The empty Win32 program at `program` started -> its window shown (then closed); negative when it did not come.
double EmptyProgramStartMs(const std::string& program);

// "BA", "&Procurar", confirm -> "Busca automática concluída!"; negative when the search did not succeed.
double SearchTime();

// Orvi.exe "CN" on its Diagnostic page, polling; invalid when the page did not come.
DriverProcess OpenDiagnosticPage(HWND* sheet);
