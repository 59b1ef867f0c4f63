#pragma once

#include "program/CommandStates.h"
#include "program/ImageBlenderCommands.h"
#include "program/PageCommands.h"
#include "program/ProgramState.h"
#include "program/SchemeCommands.h"
#include "program/Screen.h"
#include "program/SwatchBookCommands.h"

namespace hw {

/// The program's one state, its command-state store and its command classes, created once and
/// connected by reference. Dependencies run one way: the page commands use the scheme commands
/// (to ask before painted work is left), which use the image blender's commands; the book
/// commands stand alone. The screen reads the state through `state()` only.
class Session {
public:
    explicit Session(Screen& screen);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// The start-up states of the commands; the screen mirrors them.
    void start();

    const ProgramState& state() const { return m_state; }
    const CommandStates& commandStates() const { return m_states; }
    /// For the panels whose own controls change command states (the swatch card's slots).
    void apply(Situation situation) { m_states.apply(situation, m_state); }

    PageCommands& pages() { return m_pages; }
    SchemeCommands& schemes() { return m_schemes; }
    SwatchBookCommands& book() { return m_book; }
    ImageBlenderCommands& blender() { return m_blender; }

    /// The close question and, when the program may close, the clean-up of every working file.
    /// Returns whether the program may close.
    bool FormCloseQuery();
    /// Deletes the working copies, frame copies, the working scripts of the Temp folder and the
    /// local cookies.
    void cleanUp();

private:
    Screen& m_screen;
    ProgramState m_state;
    CommandStates m_states;
    ImageBlenderCommands m_blender;
    SwatchBookCommands m_book;
    SchemeCommands m_schemes;
    PageCommands m_pages;
};

} // namespace hw
