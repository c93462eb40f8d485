// The driver requests of the POSIX serial port behind a seam: a pseudo-terminal has neither the kernel's
// RS-485 mode nor a transmitter to ask, so tests script them while open, termios and locks stay real.
#pragma once

struct PosixPortCalls {
    int (*ioctl)(int fd, unsigned long request, void* argument);
};

// nullptr restores the system's calls.
void UsePosixPortCalls(const PosixPortCalls* calls);
