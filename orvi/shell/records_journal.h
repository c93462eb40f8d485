// The journal of the configurator's writes.
#pragma once

// From now on every write the link makes is journalled with program "Orvi.exe".
void StartConfiguratorJournal();
