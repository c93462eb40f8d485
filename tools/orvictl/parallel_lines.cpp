// Running lines at once and printing what each wrote in one piece.
#include "parallel_lines.h"

#include <thread>

#include "text_output.h"

OrderedPrinter::OrderedPrinter(size_t count) : pieces_(count) {}

void OrderedPrinter::Done(size_t piece, std::string out, std::string err) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (piece >= pieces_.size()) return;
    pieces_[piece].done = true;
    pieces_[piece].out = std::move(out);
    pieces_[piece].err = std::move(err);
    // Written straight to the streams: the thread calling may be capturing its own text.
    for (; next_ < pieces_.size() && pieces_[next_].done; ++next_) {
        if (!pieces_[next_].err.empty()) WriteStderr(pieces_[next_].err);
        if (!pieces_[next_].out.empty()) WriteStdout(pieces_[next_].out);
        pieces_[next_] = Piece{true, "", ""};
    }
}

void RunOnThreads(size_t count, const std::function<void(size_t)>& work) {
    std::vector<std::thread> threads;
    threads.reserve(count);
    for (size_t i = 0; i < count; ++i) threads.emplace_back([&work, i] { work(i); });
    for (std::thread& thread : threads) thread.join();
}
