#pragma once
// The Windows program's command line and standard streams.
//
// moonrake.exe is a GUI-subsystem program, so that started from Explorer it
// opens no console window. Its console front end then has to find its
// streams itself: pipes and files handed to it (by a script, a test, or a
// shell's redirection) are used as they are; a stream it was not given is
// taken from the console of the process that started it, when there is one.
//
// The streams carry exactly the bytes of the Linux program: binary mode, so
// "\n" stays LF and a Ctrl+Z byte is just a byte, and UTF-8. A console is no
// byte stream: text shown in it or typed into it goes through the console's
// UTF-16 calls, so the characters are right whatever its code page.

#include <memory>
#include <streambuf>
#include <string>
#include <vector>

namespace app {

// The arguments after the program's name, in UTF-8.
std::vector<std::string> Utf8Arguments();

// Sets std::cin, std::cout and std::cerr up for the console front end, for
// as long as it lives; they are as they were afterwards.
class StandardStreams {
  public:
    StandardStreams();
    ~StandardStreams();
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

  private:
    std::unique_ptr<std::streambuf> in_, out_, err_;
    std::streambuf* oldIn_ = nullptr;
    std::streambuf* oldOut_ = nullptr;
    std::streambuf* oldErr_ = nullptr;
};

}  // namespace app
