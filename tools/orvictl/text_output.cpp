// orvictl's own texts: arguments as CP1252, and messages prefixed with its name.
#include "text_output.h"

std::string ArgumentText(const char* argument) { return Utf8ToCp1252(argument); }

void Complain(const std::string& cp1252) { WriteErr("orvictl: " + cp1252 + "\n"); }
