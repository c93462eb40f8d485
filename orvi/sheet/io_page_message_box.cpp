// The Input/Output page's message boxes, ShowMessage unless a test observes them.
#include "io_page_message_box.h"

#include "ui_text.h"

IoPageMessageBoxFunction ioPageMessageBox = ShowMessage;
