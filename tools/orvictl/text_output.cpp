// orvictl's messages, prefixed with its name.
#include "text_output.h"

namespace {
thread_local TextCapture* capture = nullptr;
}  // namespace

TextCapture::TextCapture() : outer_(capture) { capture = this; }
TextCapture::~TextCapture() { capture = outer_; }

std::string TextCapture::TakeOut() {
    std::string text;
    text.swap(out_);
    return text;
}

std::string TextCapture::TakeErr() {
    std::string text;
    text.swap(err_);
    return text;
}

void WriteOut(const std::string& utf8) {
    if (capture)
        capture->out_ += utf8;
    else
        WriteStdout(utf8);
}

void WriteErr(const std::string& utf8) {
    if (capture)
        capture->err_ += utf8;
    else
        WriteStderr(utf8);
}

void Complain(const std::string& utf8) { WriteErr("orvictl: " + utf8 + "\n"); }
