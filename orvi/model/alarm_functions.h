// The alarm-function catalogue and the mapping between its codes and the positions of the offered list.
#pragma once

enum {
    kAlarmFunctionCount = 9,
    kAlarmFunctionNameLength = 29,  // every name is padded with blanks to this length
    kAlarmFunctionNameSlot = 30,
    kOfferedAlarmFunctionCount = 7,  // codes 2 and 3 are never offered
    kNoAlarm = 0,
};

extern const char AlarmFunctionCatalogue[kAlarmFunctionCount][kAlarmFunctionNameSlot];

// The name of a code 0..8; nullptr for a code outside the catalogue.
const char* AlarmFunctionName(int code);

// Positions 0..6 of the offered list give codes 0, 1, 4, 5, 6, 7, 8; any other position gives -1.
int AlarmFunctionFromPosition(int position);
