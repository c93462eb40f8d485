// The link's line settings, put on top of what the port reports.
#include "line_settings.h"

LineSettings LinkLineSettings(const LineSettings& current, int32_t lineBaud, bool toggleRts) {
    LineSettings s = current;
    s.baudRate = static_cast<uint32_t>(lineBaud);
    s.byteSize = 8;
    s.parityKind = kNoParity;
    s.stopBits = kOneStopBit;
    s.binary = true;  // the only mode Windows supports
    s.parity = false;
    s.outxCtsFlow = false;
    s.outxDsrFlow = false;
    s.dtrControl = kDtrControlEnable;
    s.dsrSensitivity = false;
    s.txContinueOnXoff = true;
    s.outX = false;
    s.inX = false;
    s.errorCharOn = false;
    s.nullStrip = false;
    s.abortOnError = false;  // nothing in the link clears a line error, so never stop on one
    s.errorChar = 0;
    s.evtChar = 0;
    // Unused with XON/XOFF off, yet SetCommState refuses equal characters and limits beyond the queue.
    s.xonChar = kXonChar;
    s.xoffChar = kXoffChar;
    s.xonLim = 0;
    s.xoffLim = 0;
    s.rtsControl = toggleRts ? kRtsControlToggle : kRtsControlDisable;
    return s;
}
