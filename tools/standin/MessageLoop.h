#pragma once
// The stand-in client's one thread: a person's keys and clicks are taken
// first, then whatever else was sent or posted, and the client's reactions
// when their time comes.

#include <windows.h>

namespace standin {

class StandInClient;

class MessageLoop {
  public:
    explicit MessageLoop(StandInClient& client) : client_(client) {}

    // Runs until the client is told to end, or until the process `parent`
    // ends (null: no such process).
    void Run(HANDLE parent);
    // Everything posted to this thread before now, and what that work
    // queues in turn, is handled before it returns. Reactions still waiting
    // for their time stay waiting.
    void WorkOffQueue();
    void Quit() { quit_ = true; }

  private:
    // Works off the person's keys and clicks first, translated into
    // characters, then everything else; false once the client is to end.
    bool Pump();

    StandInClient& client_;
    bool quit_ = false;
};

}  // namespace standin
