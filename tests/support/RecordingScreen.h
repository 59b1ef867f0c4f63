#pragma once

// A screen for core tests: records what the command logic shows and answers from a script.

#include "shell/Screen.h"

#include <array>
#include <deque>
#include <string>
#include <vector>

namespace hw::test {

class RecordingScreen : public Screen {
public:
    std::deque<Answer> answers;                  ///< next answers to questions (default No)
    std::deque<std::optional<std::string>> files; ///< next file dialog results (default cancel)
    std::vector<std::string> questions, notices, navigations;
    std::vector<FileDialog> dialogs;
    std::string caption;
    CardView card;
    std::array<bool, static_cast<std::size_t>(Command::Count)> enabled{}, checked{};

    Answer askYesNoCancel(const std::string& text) override { return next(text); }
    bool askYesNo(const std::string& text) override { return next(text) == Answer::Yes; }
    void notify(const std::string& text) override { notices.push_back(text); }
    void inform(const std::string& text) override { notices.push_back(text); }
    void warn(const std::string& text) override { notices.push_back(text); }
    std::optional<std::string> chooseFile(FileDialog d) override {
        dialogs.push_back(d);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    void setEnabled(Command c, bool on) override { enabled[static_cast<std::size_t>(c)] = on; }
    void setChecked(Command c, bool on) override { checked[static_cast<std::size_t>(c)] = on; }
    bool isEnabled(Command c) const override { return enabled[static_cast<std::size_t>(c)]; }
    bool isChecked(Command c) const override { return checked[static_cast<std::size_t>(c)]; }
    void setCaption(const std::string& text) override { caption = text; }
    void showCard(const CardView& c) override { card = c; }
    void setCardTitle(const std::string& title) override { card.title = title; }
    void navigate(const std::string& path) override { navigations.push_back(path); }

private:
    Answer next(const std::string& text) {
        questions.push_back(text);
        if (answers.empty()) return Answer::No;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

} // namespace hw::test
