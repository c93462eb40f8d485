// Where a dialog goes so that it sits centred over a window's client area.
#pragma once

struct DialogOrigin {
    int left;
    int top;
};

// clientCentreX/Y: the client area's centre in screen coordinates. Integer halves, truncated.
DialogOrigin CentredOrigin(int clientCentreX, int clientCentreY, int dialogWidth, int dialogHeight);
