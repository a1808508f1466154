// The chat scanner against a transcript that wraps, is resized and trims its
// history, driven by arbitrary bytes: chat lines of any bytes the code page
// holds (tabs, breaks, very long ones), from a few senders, one at a time or
// several together, wrap widths, history limits, and the moments at which
// the scanner gets to read. The property: the lines reported are exactly the
// lines that reached the room, less those the client trimmed before the
// scanner could read them; each whole, once, in order.
//
// Each line starts with its number: two lines of equal text trimmed and
// appended between two reads leave a transcript no reader could tell from
// the one before, and the property is about what a reader can know. Except
// a member's "lol", said over and over as people do: those lines may or may
// not be reported (where everything still shown is "lol", nothing can tell
// how many came), but the numbered lines among them are, and what is
// reported is lines said, in the order said, none twice.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "aol/NiteScan.h"
#include "clientsim/SimChatClient.h"
#include "platform/AnsiText.h"
#include "platform/VirtualRuntime.h"
#include "platform/sim/SimWindowSystem.h"

namespace {

constexpr std::size_t kMaxSteps = 400;
const char* const kSenders[] = {"KarenK", "slickrick", "Moon Raker", "", "x:y"};
// A length byte that makes the line a repeat instead.
constexpr std::uint8_t kRepeat = 254;

[[noreturn]] void Fail(const char* what, std::size_t index) {
    std::fprintf(stderr, "scanner_fuzz: %s (at reported line %zu)\n", what, index);
    std::abort();
}

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::string Bytes(std::size_t n) {
        std::string out;
        while (n-- > 0 && pos_ < size_) out.push_back(static_cast<char>(data_[pos_++]));
        return out;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// One run on a transcript of the given rich edit generation.
void Run(const std::uint8_t* data, std::size_t size, clientsim::RichEditGeneration generation) {
    platform::VirtualRuntime runtime;
    platform::sim::SimWindowSystem windows(runtime);
    platform::Random random(runtime);
    platform::Services services{windows, runtime, random};
    clientsim::ClientOptions options;
    options.historyLimit = 8;
    options.roomWidth = 30;
    options.transcriptGeneration = generation;
    clientsim::SimChatClient client(windows, runtime, options);
    client.SignOn();
    runtime.DoEvents();

    aol::NiteScan scan(services);
    std::vector<std::pair<std::string, std::string>> reported;
    scan.SetChatLineHandler(
        [&](const std::string& s, const std::string& t) { reported.emplace_back(s, t); });
    scan.ScanON();

    // The model: which lines (by number) the transcript holds now, and which
    // a read has found so far.
    std::vector<std::size_t> present;
    std::vector<std::size_t> expected;
    std::vector<bool> repeat;  // by number: a "lol"
    std::size_t limit = options.historyLimit;
    std::size_t said = 0;
    auto trim = [&] {
        if (limit != 0 && present.size() > limit) {
            present.erase(present.begin(), present.end() - static_cast<std::ptrdiff_t>(limit));
        }
    };
    auto read = [&] {
        runtime.DoEvents();
        for (std::size_t id : present) {
            if (repeat[id]) continue;
            if (expected.empty() || id > expected.back()) expected.push_back(id);
        }
    };

    Input in(data, size);
    for (std::size_t step = 0; step < kMaxSteps && !in.Empty(); ++step) {
        std::uint8_t op = in.Byte();
        switch (op % 8) {
            case 0:
            case 1:
            case 2:
            case 7: {
                // One line, or several that reach the room together.
                std::size_t count = op % 8 == 7 ? 1 + in.Byte() % 6 : 1;
                std::vector<clientsim::RoomLine> lines;
                for (std::size_t i = 0; i < count; ++i) {
                    std::uint8_t lengthByte = in.Byte();
                    repeat.push_back(lengthByte == kRepeat);
                    if (repeat.back()) {
                        lines.push_back({"KarenK", "lol"});
                        continue;
                    }
                    std::size_t length =
                        lengthByte == 255 ? 3000 + in.Byte() * 20u : lengthByte % 120u;
                    std::string ansi = in.Bytes(length);
                    const char* sender = kSenders[in.Byte() % std::size(kSenders)];
                    lines.push_back(
                        {sender, std::to_string(said + i) + "|" + platform::FromAnsi(ansi)});
                }
                if (count == 1) {
                    client.Say(lines[0].sender, lines[0].text);
                } else {
                    client.SayTogether(lines);
                }
                windows.Drain();  // the client shows them now, before any read
                for (std::size_t i = 0; i < count; ++i) {
                    present.push_back(said++);
                    trim();
                }
                break;
            }
            case 3:
            case 4:
                read();
                break;
            case 5:
                client.SetRoomWidth(in.Byte() % 90);  // 0: no wrap
                break;
            case 6: {
                std::uint8_t b = in.Byte();
                limit = b % 17;  // 0: keep everything
                client.SetHistoryLimit(limit);
                trim();
                break;
            }
        }
    }
    read();

    const auto& transcript = client.Transcript();
    if (transcript.size() != said) Fail("the client lost a line", 0);
    // Lines said, in order, none twice: each reported line is the next said
    // line like it; and the numbered ones are those a read could find.
    std::size_t at = 0;
    std::vector<std::size_t> numbered;
    for (std::size_t i = 0; i < reported.size(); ++i) {
        while (at < said && (reported[i].first != transcript[at].sender ||
                             reported[i].second != transcript[at].text)) {
            ++at;
        }
        if (at == said) Fail("a line came out different, cut, out of order or twice", i);
        if (!repeat[at]) numbered.push_back(at);
        ++at;
    }
    if (numbered != expected) {
        Fail(numbered.size() < expected.size() ? "a line was not reported"
                                               : "a line was reported that no read could find",
             numbered.size());
    }
}

}  // namespace

// The same room on both generations: the scanner reports the same lines.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run(data, size, clientsim::RichEditGeneration::Later);
    Run(data, size, clientsim::RichEditGeneration::First);
    return 0;
}
