#pragma once

// Lets waiting window messages run in the middle of a long load. User input stays queued, so nothing the
// user does can close an editor or start another load while one is under way.
class MessageLoop {
public:
    static void DoEvents();
};
