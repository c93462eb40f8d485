// A failure message of the live pages: its format with the link error's text in place of "%s".
#pragma once
#include <string>

std::string LinkFailureText(const char* format, unsigned linkError);
