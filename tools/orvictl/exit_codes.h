// The exit codes of orvictl, one per kind of outcome, as its help documents them.
#pragma once

enum ExitCode {
    kExitOk = 0,
    kExitDiffers = 1,        // diff: the transmitter differs from the file (like diff(1))
    kExitLoopFailed = 1,     // report: the loop check as left failed (the report is written)
    kExitCauseNamed = 1,     // doctor: the line has a trouble, named
    kExitUsage = 2,          // arguments, option values, file contents, keys or values that are not valid
    kExitPort = 3,           // the serial port does not open or refuses the line settings
    kExitNoReply = 4,        // the transmitter did not answer (or answered wrongly) a read
    kExitCheck = 5,          // a consistency check failed: nothing written
    kExitWrite = 6,          // a write, its read-back or a confirmation failed
    kExitFile = 7,           // a file could not be read or written
    kExitInterrupted = 130,  // Ctrl-C: stopped between transactions, port closed
};
