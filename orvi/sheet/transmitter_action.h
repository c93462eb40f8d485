// One action that talks to the transmitter at a time, for the whole program.
//
// The link's turnaround wait dispatches mouse messages, so a click made while an action waits for
// the transmitter would run its handler inside that action. Every entry point that talks to the
// transmitter (sheet opening, apply, the Communication page's buttons, a page activation's reads,
// a tick) takes the action first and does nothing when another one holds it.
#pragma once
#include <windows.h>

// True while an action holds it or a transaction runs.
bool TransmitterActionRunning();

// Holds the action for its lifetime when it was free; Refused() tells that another one runs.
class TransmitterAction {
public:
    TransmitterAction();
    ~TransmitterAction();
    TransmitterAction(const TransmitterAction&) = delete;
    TransmitterAction& operator=(const TransmitterAction&) = delete;

    bool Refused() const { return !owner_; }
    // Lets go while the action waits for the user in a prompt whose modal loop should let the
    // page's own ticks go on (they take and let go of it themselves), and takes it back after.
    void Pause();
    void Resume();

private:
    bool owner_;
};

// Answers a property-sheet notification that would leave the page or end the sheet (a tab change,
// OK, Apply, Cancel) while an action runs: refused, with the result set. True when it answered;
// for these codes it otherwise sets the result that lets the sheet go on.
bool RefuseWhileActionRuns(HWND page, UINT code);
