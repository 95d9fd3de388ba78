// What a comparison or walk of a find-changes run needs from its window: a way to
// hand control to the message loop, the window's stop flag, and the progress bar.
// Any of the three may be absent (a test or a benchmark runs without a window).
#pragma once

#include "changes/find_changes.h"
#include "platform/prompt.h"

namespace korvex {

struct RunHooks {
    Prompt* prompt = nullptr;
    const bool* stop = nullptr;
    FindProgress* progress = nullptr;

    void yield() const {
        if (prompt) prompt->yield();
    }
    bool stopped() const { return stop && *stop; }
    // Yields, then tells whether the user asked to stop: the test every loop makes.
    bool yieldAndTest() const {
        yield();
        return stopped();
    }
    void raise(double by) const {
        if (progress) progress->raise(by);
    }
    void setPosition(double position) const {
        if (progress) progress->setPosition(position);
    }
};

}  // namespace korvex
