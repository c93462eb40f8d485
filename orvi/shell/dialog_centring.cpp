// The centring arithmetic of CenterDialog.
#include "shell/dialog_centring.h"

DialogOrigin CentredOrigin(int clientCentreX, int clientCentreY, int dialogWidth, int dialogHeight) {
    return DialogOrigin{clientCentreX - dialogWidth / 2, clientCentreY - dialogHeight / 2};
}
