// orvictl's messages, prefixed with its name.
#include "text_output.h"

void Complain(const std::string& utf8) { WriteErr("orvictl: " + utf8 + "\n"); }
