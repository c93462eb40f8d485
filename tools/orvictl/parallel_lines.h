// Lines worked at once: one thread a line, and what each piece of work wrote printed whole, in order.
#pragma once
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The text of numbered pieces of work (the index's tags, the scan's ports) printed whole in their
// order, each as soon as it and every piece before it are done, whichever thread finished it.
class OrderedPrinter {
public:
    explicit OrderedPrinter(size_t count);
    // Piece's text is complete: prints it and the ready pieces after it when its turn has come.
    void Done(size_t piece, std::string out, std::string err);

private:
    struct Piece {
        bool done = false;
        std::string out, err;
    };
    std::mutex mutex_;
    std::vector<Piece> pieces_;
    size_t next_ = 0;
};

// Runs work(0) .. work(count - 1) each on a thread of its own, all at once, and returns when every
// one has ended. work keeps its text in a TextCapture of its own and hands it to an OrderedPrinter.
void RunOnThreads(size_t count, const std::function<void(size_t)>& work);
