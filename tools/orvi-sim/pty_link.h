// The simulated serial line: a pseudo-terminal whose slave side is published as a symbolic link.
#pragma once

#include <string>

namespace orvisim {

class PtyLink {
public:
    PtyLink() = default;
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;
    ~PtyLink();

    // Opens the pair, sets the slave raw at baud and links linkPath to it.
    bool Open(const std::string& linkPath, int baud, std::string* error);
    // Removes the link and closes both sides.
    void Close();

    int MasterFd() const { return master_; }
    // The speed the host set on its side, in bit/s; 0 if unknown.
    int LineSpeed() const;

private:
    int master_ = -1;
    int slave_ = -1;  // held open so the master never sees a hang-up when the host closes the port
    std::string linkPath_;
};

}  // namespace orvisim
