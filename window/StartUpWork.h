#pragma once
// What start-up would otherwise wait for, begun on a thread of its own while
// Qt connects to the display: reading the system's font configuration. (The
// sound thread loads SDL's audio drivers side by side with it.) Needs no Qt;
// nothing here builds or touches a window.

#include <future>

class StartUpWork {
public:
    StartUpWork();

    // Returns once the font configuration is read. Call once.
    void WaitForFontConfiguration() { fontConfiguration_.get(); }

private:
    std::future<void> fontConfiguration_;
};
