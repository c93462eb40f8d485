// Configuration files prepared at the desk, from the service window's menu: the sheet on a file, with
// no transmitter read or written and the port left alone.
#pragma once
#include <windows.h>

// "Editar arquivo de configuração...": an existing file's values on the sheet; OK and Apply write it.
void EditConfigurationFile(HWND owner);

// "Novo arquivo de configuração...": the factory configuration of the input type the user chooses, on
// the sheet for a file named first in the Save dialog; OK and Apply write it, Cancel leaves no file.
void NewConfigurationFile(HWND owner);
