#include "cli/cli_prompt.h"

#include <unistd.h>

namespace korvex::cli {

CliPrompt::CliPrompt(bool assumeYes, std::FILE* out)
    : assumeYes_(assumeYes), out_(out), terminal_(::isatty(::fileno(out)) == 1) {}

CliPrompt::~CliPrompt() { endProgressLine(); }

Answer CliPrompt::AnswerFor(Buttons buttons, bool assumeYes) {
    switch (buttons) {
        case Buttons::OK: return Answer::OK;
        case Buttons::OKCancel: return assumeYes ? Answer::OK : Answer::Cancel;
        case Buttons::YesNo: return assumeYes ? Answer::Yes : Answer::No;
        case Buttons::YesNoCancel: return assumeYes ? Answer::Yes : Answer::Cancel;
        case Buttons::RetryCancel: return Answer::Cancel;  // retrying unattended would never end
        case Buttons::AbortRetryIgnore: return assumeYes ? Answer::Ignore : Answer::Abort;
    }
    return Answer::Cancel;
}

Answer CliPrompt::messageBox(const Message& message) {
    endProgressLine();
    ++messages_;
    std::fprintf(out_, "%s: %s\n", message.title.c_str(), message.text.c_str());
    std::fflush(out_);
    return AnswerFor(message.buttons, assumeYes_);
}

std::optional<std::string> CliPrompt::inputBox(std::string_view, std::string_view, std::string_view) {
    return std::nullopt;
}

std::string CliPrompt::pickFolder(std::string_view) { return ""; }

std::string CliPrompt::pickOpenFile(std::string_view, std::string_view, std::string_view) { return ""; }

std::string CliPrompt::pickSaveFile(std::string_view, std::string_view, std::string_view, std::string_view) {
    return "";
}

void CliPrompt::status(std::string_view text) {
    status_.assign(text);
    draw(false);
}

void CliPrompt::progress(std::uint64_t done, std::uint64_t total) {
    done_ = done;
    total_ = total;
    draw(done == total);
}

void CliPrompt::draw(bool force) {
    if (!terminal_) return;
    // A walk reports every folder; the terminal needs a few lines a second at most.
    const auto now = std::chrono::steady_clock::now();
    if (!force && lineShown_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    std::string line;
    if (total_ > 0) line = std::to_string(done_ * 100 / total_) + "% ";
    line += status_;
    constexpr std::size_t width = 79;
    if (line.size() > width) {
        // Keep the start and the end (the folder's own name); cut between UTF-8 characters.
        std::size_t head = 30, tail = line.size() - (width - 33);
        while (head > 0 && (static_cast<unsigned char>(line[head]) & 0xC0) == 0x80) --head;
        while (tail < line.size() && (static_cast<unsigned char>(line[tail]) & 0xC0) == 0x80) ++tail;
        line = line.substr(0, head) + "..." + line.substr(tail);
    }
    std::fprintf(out_, "\r\x1b[K%s", line.c_str());
    std::fflush(out_);
    lineShown_ = true;
}

void CliPrompt::endProgressLine() {
    if (!lineShown_) return;
    std::fprintf(out_, "\r\x1b[K");
    std::fflush(out_);
    lineShown_ = false;
}

}  // namespace korvex::cli
