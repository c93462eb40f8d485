// The serial port on Win32: CreateFileA, the device-control block, time-outs, RTS, read and write.
#include <windows.h>

#include "serial_device.h"

namespace {

class Win32SerialDevice : public SerialDevice {
public:
    bool Open(const char* portName) override {
        // "\\.\" lets names beyond COM9 open too; COM1..COM4 work either way.
        char path[32] = "\\\\.\\";
        lstrcpynA(path + 4, portName, sizeof path - 4);
        HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = h;
        return true;
    }

    bool Configure(const char* modeString, int32_t lineBaud) override {
        DCB dcb;
        ZeroMemory(&dcb, sizeof dcb);
        dcb.DCBlength = sizeof dcb;
        if (!BuildCommDCBA(modeString, &dcb)) return false;
        dcb.BaudRate = static_cast<DWORD>(lineBaud);
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fTXContinueOnXoff = TRUE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;  // nothing here clears line errors, so never stop on one
        dcb.ErrorChar = 0;
        dcb.EvtChar = 0;
        dcb.XonLim = 0;
        dcb.XoffLim = 0;
        dcb.fRtsControl = RTS_CONTROL_TOGGLE;
        if (SetCommState(handle_, &dcb)) return true;
        // Drivers without a toggle mode (Wine among them): RTS is then driven by hand alone.
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        return SetCommState(handle_, &dcb) != 0;
    }

    void SelectEvents(bool on) override { SetCommMask(handle_, on ? (EV_RXCHAR | EV_TXEMPTY) : 0); }

    void SetQueues(uint32_t inputBytes, uint32_t outputBytes) override { SetupComm(handle_, inputBytes, outputBytes); }

    void SetRts(bool high) override { EscapeCommFunction(handle_, high ? SETRTS : CLRRTS); }

    void Purge(bool receiveSide, bool transmitSide) override {
        DWORD flags = 0;
        if (receiveSide) flags |= PURGE_RXABORT | PURGE_RXCLEAR;
        if (transmitSide) flags |= PURGE_TXABORT | PURGE_TXCLEAR;
        PurgeComm(handle_, flags);
    }

    void SetReadTimeouts(const ReadTimeouts& t) override {
        COMMTIMEOUTS timeouts;
        ZeroMemory(&timeouts, sizeof timeouts);
        timeouts.ReadIntervalTimeout = t.intervalMs;
        timeouts.ReadTotalTimeoutMultiplier = t.perByteMs;
        timeouts.ReadTotalTimeoutConstant = t.constantMs;
        SetCommTimeouts(handle_, &timeouts);
    }

    void Write(const uint8_t* bytes, size_t count) override {
        DWORD written = 0;
        WriteFile(handle_, bytes, static_cast<DWORD>(count), &written, nullptr);
    }

    // Polls the driver's output queue instead of blocking in WaitCommEvent, which some drivers
    // (a pseudo-terminal under Wine) never complete with EV_TXEMPTY.
    bool WaitTransmitEmpty(uint32_t boundMs) override {
        const DWORD start = GetTickCount();
        for (;;) {
            DWORD errors = 0;
            COMSTAT status;
            ZeroMemory(&status, sizeof status);
            if (!ClearCommError(handle_, &errors, &status)) return false;
            if (status.cbOutQue == 0) return true;
            if (GetTickCount() - start >= boundMs) return false;
            Sleep(1);
        }
    }

    size_t Read(uint8_t* buffer, size_t maxCount) override {
        DWORD got = 0;
        if (!ReadFile(handle_, buffer, static_cast<DWORD>(maxCount), &got, nullptr)) return 0;
        return got;
    }

    void Close() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

SerialDevice& SystemSerialDevice() {
    static Win32SerialDevice device;
    return device;
}
