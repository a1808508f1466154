#include "tests/support/TestRuntime.h"

#include <utility>

namespace testsupport {

TestRuntime::TestRuntime(platform::Millis startOfDay) : VirtualRuntime(startOfDay) {}

std::string TestRuntime::Prompt(const std::string& text, const std::string& title,
                                const std::string& /*defaultAnswer*/) {
    prompts.push_back(title + "|" + text);
    if (insidePrompt) insidePrompt(text);
    if (promptAnswers.empty()) return "";
    std::string answer = std::move(promptAnswers.front());
    promptAnswers.pop_front();
    return answer;
}

void TestRuntime::MessageBox(const std::string& text, const std::string& title) {
    messageBoxes.push_back(title + "|" + text);
    if (insideMessageBox) insideMessageBox(text);
}

void TestRuntime::ScriptedRandom::Reseed() {
    ++runtime_.reseedCount;
    Random::Reseed();
}

double TestRuntime::ScriptedRandom::Next() {
    const std::vector<double>& script = runtime_.scriptedRandom;
    if (!script.empty()) return script[next_++ % script.size()];
    return Random::Next();
}

}  // namespace testsupport
