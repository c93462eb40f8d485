// Failure messages that name the link error.
#include "live_failure_text.h"
#include <cstdio>
#include "link_error.h"

std::string LinkFailureText(const char* format, unsigned linkError) {
    char text[256];  // the longest message and the longest error text fit with room to spare
    std::snprintf(text, sizeof text, format, LinkErrorText(linkError));
    return text;
}
