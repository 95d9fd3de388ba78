#include "platform/fake/scripted_prompt.h"

namespace korvex {

Answer ScriptedPrompt::messageBox(const Message& message) {
    messages.push_back(message);
    if (answers.empty()) return defaultAnswer;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedPrompt::inputBox(std::string_view, std::string_view, std::string_view) {
    if (inputs.empty()) return std::nullopt;
    auto r = inputs.front();
    inputs.pop_front();
    return r;
}

static std::string nextPick(std::deque<std::string>& picks) {
    if (picks.empty()) return {};
    std::string r = picks.front();
    picks.pop_front();
    return r;
}

std::string ScriptedPrompt::pickFolder(std::string_view) { return nextPick(picks); }
std::string ScriptedPrompt::pickOpenFile(std::string_view, std::string_view, std::string_view) {
    return nextPick(picks);
}
std::string ScriptedPrompt::pickSaveFile(std::string_view, std::string_view, std::string_view, std::string_view) {
    return nextPick(picks);
}

void ScriptedPrompt::yield() {
    ++yields;
    if (onYield) onYield();
}

void ScriptedPrompt::status(std::string_view text) {
    statuses.emplace_back(text);
    if (onStatus) onStatus(text);
}

void ScriptedPrompt::progress(std::uint64_t done, std::uint64_t total) {
    lastDone = done;
    lastTotal = total;
}

void ScriptedPrompt::busy(bool on) { isBusy = on; }

}  // namespace korvex
