// The serial port on Win32: CreateFileA, the device-control block, time-outs, RTS, read and write.
#include "serial_device_win32.h"

#include "adapter_latency_win32.h"
#include "line_evidence.h"
#include "line_settings.h"
#include "serial_device.h"

namespace {

LineSettings FromDcb(const DCB& d) {
    LineSettings s;
    s.baudRate = d.BaudRate;
    s.binary = d.fBinary != 0;
    s.parity = d.fParity != 0;
    s.outxCtsFlow = d.fOutxCtsFlow != 0;
    s.outxDsrFlow = d.fOutxDsrFlow != 0;
    s.dtrControl = static_cast<uint8_t>(d.fDtrControl);
    s.dsrSensitivity = d.fDsrSensitivity != 0;
    s.txContinueOnXoff = d.fTXContinueOnXoff != 0;
    s.outX = d.fOutX != 0;
    s.inX = d.fInX != 0;
    s.errorCharOn = d.fErrorChar != 0;
    s.nullStrip = d.fNull != 0;
    s.rtsControl = static_cast<uint8_t>(d.fRtsControl);
    s.abortOnError = d.fAbortOnError != 0;
    s.xonLim = d.XonLim;
    s.xoffLim = d.XoffLim;
    s.byteSize = d.ByteSize;
    s.parityKind = d.Parity;
    s.stopBits = d.StopBits;
    s.xonChar = d.XonChar;
    s.xoffChar = d.XoffChar;
    s.errorChar = d.ErrorChar;
    s.eofChar = d.EofChar;
    s.evtChar = d.EvtChar;
    return s;
}

// Members the settings do not name (reserved words) stay as the port reported them.
void ToDcb(const LineSettings& s, DCB* d) {
    d->DCBlength = sizeof(DCB);
    d->BaudRate = s.baudRate;
    d->fBinary = s.binary;
    d->fParity = s.parity;
    d->fOutxCtsFlow = s.outxCtsFlow;
    d->fOutxDsrFlow = s.outxDsrFlow;
    d->fDtrControl = s.dtrControl;
    d->fDsrSensitivity = s.dsrSensitivity;
    d->fTXContinueOnXoff = s.txContinueOnXoff;
    d->fOutX = s.outX;
    d->fInX = s.inX;
    d->fErrorChar = s.errorCharOn;
    d->fNull = s.nullStrip;
    d->fRtsControl = s.rtsControl;
    d->fAbortOnError = s.abortOnError;
    d->XonLim = s.xonLim;
    d->XoffLim = s.xoffLim;
    d->ByteSize = s.byteSize;
    d->Parity = s.parityKind;
    d->StopBits = s.stopBits;
    d->XonChar = s.xonChar;
    d->XoffChar = s.xoffChar;
    d->ErrorChar = s.errorChar;
    d->EofChar = s.eofChar;
    d->EvtChar = s.evtChar;
}

class Win32SerialDevice : public SerialDevice {
public:
    bool Open(const char* portName) override {
        // "\\.\" lets names beyond COM9 open too; COM1..COM4 work either way.
        char path[32] = "\\\\.\\";
        lstrcpynA(path + 4, portName, sizeof path - 4);
        HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        Close();
        handle_ = h;
        lstrcpynA(portName_, portName, sizeof portName_);
        pendingErrors_ = 0;
        return true;
    }

    bool Configure(const char* modeString, int32_t lineBaud) override {
        // Start from the port's own block so that members we do not set keep values the driver accepts.
        DCB dcb;
        ZeroMemory(&dcb, sizeof dcb);
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return false;
        if (!BuildCommDCBA(modeString, &dcb)) return false;
        const LineSettings current = FromDcb(dcb);
        // Toggle mode helps where a driver really keeps it; the link raises and drops RTS anyway.
        if (Apply(LinkLineSettings(current, lineBaud, true), &dcb)) return true;
        // Refused (Wine and many USB adapters among them): the explicit RTS changes alone drive it.
        return Apply(LinkLineSettings(current, lineBaud, false), &dcb);
    }

    // A driver may accept toggle mode and report it held yet leave RTS high: never trusted alone.
    bool TogglesRts() const override { return false; }

    void SelectEvents(bool on) override { SetCommMask(handle_, on ? (EV_RXCHAR | EV_TXEMPTY) : 0); }

    // A driver may keep its own queue sizes (the request is advisory); nothing depends on them.
    void SetQueues(uint32_t inputBytes, uint32_t outputBytes) override { SetupComm(handle_, inputBytes, outputBytes); }

    // A driver that toggles RTS itself refuses these (as it should): the result is not needed.
    void SetRts(bool high) override { EscapeCommFunction(handle_, high ? SETRTS : CLRRTS); }

    // usbser.sys sends the control lines to a CDC adapter only when DTR is set, RTS with them.
    void ReassertDtr() override { EscapeCommFunction(handle_, SETDTR); }

    void Purge(bool receiveSide, bool transmitSide) override {
        DWORD flags = 0;
        if (receiveSide) flags |= PURGE_RXABORT | PURGE_RXCLEAR;
        if (transmitSide) flags |= PURGE_TXABORT | PURGE_TXCLEAR;
        PurgeComm(handle_, flags);
    }

    bool SetReadTimeouts(const ReadTimeouts& t) override {
        read_ = t;
        return ApplyTimeouts();
    }

    bool SetWriteTimeouts(const WriteTimeouts& t) override {
        write_ = t;
        return ApplyTimeouts();
    }

    bool Write(const uint8_t* bytes, size_t count) override {
        DWORD written = 0;
        // A write that times out succeeds with fewer bytes written.
        return WriteFile(handle_, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
    }

    // Polls the driver's output queue instead of blocking in WaitCommEvent, which some drivers
    // (a pseudo-terminal under Wine) never complete with EV_TXEMPTY. After a write without
    // overlapped I/O, as the link's, Windows reports the queue empty (cbOutQue 0) while the bytes
    // are still in the UART, so this poll ends at once there: the frame layer's wait for the line
    // time is what keeps RTS up. Sleep yields the processor between polls of a driver that does queue.
    bool WaitTransmitEmpty(uint32_t boundMs) override {
        const DWORD start = GetTickCount();
        for (;;) {
            COMSTAT status;
            if (!Status(&status)) return false;
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

    // What waits in the driver's input queue is there in full: a read of that many returns at once.
    size_t ReadWaiting(uint8_t* buffer, size_t maxCount) override {
        COMSTAT status;
        if (!Status(&status) || status.cbInQue == 0) return 0;
        const DWORD count = status.cbInQue < maxCount ? status.cbInQue : static_cast<DWORD>(maxCount);
        DWORD got = 0;
        if (!ReadFile(handle_, buffer, count, &got, nullptr)) return 0;
        return got;
    }

    // ClearCommError tells only which errors happened since it was last called, not how many: each
    // counts once. Every call of it (the transmit-empty poll too) keeps what it cleared for this.
    bool TakeLineErrors(DriverErrorCounts* counts) override {
        COMSTAT status;
        if (!Status(&status)) return false;
        if (pendingErrors_ & CE_FRAME) ++counts->frame;
        if (pendingErrors_ & CE_RXPARITY) ++counts->parity;
        if (pendingErrors_ & CE_OVERRUN) ++counts->overrun;
        if (pendingErrors_ & CE_BREAK) ++counts->breaks;
        pendingErrors_ = 0;
        return true;
    }

    int32_t LatencyTimerMs(char* how, size_t room) override { return AdapterLatencyTimerMs(portName_, how, room); }

    bool LastApplied(DCB* dcb) const {
        if (anyApplied_) *dcb = lastApplied_;
        return anyApplied_;
    }

private:
    bool Apply(const LineSettings& settings, DCB* dcb) {
        ToDcb(settings, dcb);
        if (!SetCommState(handle_, dcb)) return false;
        lastApplied_ = *dcb;
        anyApplied_ = true;
        return true;
    }

    // The driver's status; the error flags it clears are kept for TakeLineErrors.
    bool Status(COMSTAT* status) {
        DWORD errors = 0;
        ZeroMemory(status, sizeof *status);
        if (!ClearCommError(handle_, &errors, status)) return false;
        pendingErrors_ |= errors;
        return true;
    }

    bool ApplyTimeouts() {
        COMMTIMEOUTS timeouts;
        ZeroMemory(&timeouts, sizeof timeouts);
        timeouts.ReadIntervalTimeout = read_.intervalMs;
        timeouts.ReadTotalTimeoutMultiplier = read_.perByteMs;
        timeouts.ReadTotalTimeoutConstant = read_.constantMs;
        timeouts.WriteTotalTimeoutMultiplier = write_.perByteMs;
        timeouts.WriteTotalTimeoutConstant = write_.constantMs;
        return SetCommTimeouts(handle_, &timeouts) != 0;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    ReadTimeouts read_ = {0, 0, 0};
    WriteTimeouts write_ = {0, 0};
    char portName_[16] = {};
    DWORD pendingErrors_ = 0;
    DCB lastApplied_ = {};
    bool anyApplied_ = false;
};

Win32SerialDevice& ProgramDevice() {
    static Win32SerialDevice device;
    return device;
}
}  // namespace

bool LastAppliedLineSettings(DCB* dcb) { return ProgramDevice().LastApplied(dcb); }

SerialDevice& SystemSerialDevice() { return ProgramDevice(); }

std::unique_ptr<SerialDevice> NewSerialDevice() { return std::unique_ptr<SerialDevice>(new Win32SerialDevice); }
