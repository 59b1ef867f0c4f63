#pragma once

// A screen for core tests: records what the command logic shows and answers from a script.

#include "program/CommandStates.h"
#include "program/Screen.h"

#include <deque>
#include <string>
#include <vector>

namespace hw::test {

class RecordingScreen : public Screen {
public:
    std::deque<Answer> answers;                  ///< next answers to questions (default No)
    std::deque<std::optional<std::string>> files; ///< next file dialog results (default cancel)
    std::vector<std::string> questions, notices, navigations;
    std::vector<std::pair<ScreenPoint, std::string>> pageClicks; ///< Ctrl+clicks sent to the page
    std::vector<FileDialog> dialogs;
    std::string caption;
    CardView card;
    std::vector<CardView> shown; ///< every card shown, in order
    const CommandStates* states = nullptr; ///< the store last mirrored
    int mirrors = 0;

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
    void mirrorCommandStates(const CommandStates& s) override {
        states = &s;
        ++mirrors;
    }
    bool isEnabled(Command c) const { return states && states->enabled(c); }
    bool isChecked(Command c) const { return states && states->checked(c); }
    void setCaption(const std::string& text) override { caption = text; }
    void showCard(const CardView& c) override {
        card = c;
        shown.push_back(c);
    }
    void setCardTitle(const std::string& title) override { card.title = title; }
    void navigate(const std::string& path) override { navigations.push_back(path); }
    void pickPictureAt(ScreenPoint p, unsigned) override { pageClicks.push_back({p, "contextmenu"}); }
    void swapPictureAt(ScreenPoint p) override { pageClicks.push_back({p, "click"}); }

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
