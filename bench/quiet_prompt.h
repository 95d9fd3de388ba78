// QuietPrompt: a prompt that answers OK, picks nothing and shows nothing, so a
// benchmark times the work and not the recording of what a user would see.
#pragma once

#include "platform/prompt.h"

namespace korvex::bench {

class QuietPrompt : public Prompt {
public:
    Answer messageBox(const Message&) override { return Answer::OK; }
    std::optional<std::string> inputBox(std::string_view, std::string_view, std::string_view) override { return {}; }
    std::string pickFolder(std::string_view) override { return {}; }
    std::string pickOpenFile(std::string_view, std::string_view, std::string_view) override { return {}; }
    std::string pickSaveFile(std::string_view, std::string_view, std::string_view, std::string_view) override {
        return {};
    }
    void yield() override {}
    void status(std::string_view) override {}
    void progress(std::uint64_t, std::uint64_t) override {}
    void busy(bool) override {}
};

}  // namespace korvex::bench
