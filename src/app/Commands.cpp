#include "app/Commands.h"

#include <array>

namespace {

const std::array<CommandText, 18> kCommands = {{
    {Command::New, "&New", QKeySequence(Qt::CTRL | Qt::Key_N), "Create a new document", "New"},
    {Command::Open, "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O), "Open an existing TB document", "Open"},
    {Command::Save, "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), "Save the active TB document", "Save"},
    {Command::SaveAsBmp, "Save as BMP", QKeySequence(), "", ""},
    {Command::SaveAllAsBmp, "Save ALL as BMP", QKeySequence(), "", ""},
    {Command::Solve, "Solve", QKeySequence(), "", ""},
    {Command::Print, "&Print...", QKeySequence(Qt::CTRL | Qt::Key_P), "Print the active document", "Print"},
    {Command::PrintPreview, "Print Pre&view", QKeySequence(), "Display full pages", "Print Preview"},
    {Command::PrintSetup, "P&rint Setup...", QKeySequence(), "Change the printer and printing options", "Print Setup"},
    {Command::Exit, "E&xit", QKeySequence(), "Quit the application; prompts to save documents", "Exit"},
    {Command::ToggleToolBar, "&Toolbar", QKeySequence(), "Show or hide the toolbar", "Toggle ToolBar"},
    {Command::ToggleStatusBar, "&Status Bar", QKeySequence(), "Show or hide the status bar", "Toggle StatusBar"},
    {Command::About, "&About Tabulon...", QKeySequence(), "Display program information, version number and copyright",
     "About"},
    {Command::NextPane, "Next Pane", QKeySequence(Qt::Key_F6), "Switch to the next window pane", "Next Pane"},
    {Command::PreviousPane, "Previous Pane", QKeySequence(Qt::SHIFT | Qt::Key_F6),
     "Switch back to the previous window pane", "Previous Pane"},
    {Command::SolveCompletely, "Solve Completely", QKeySequence(),
     "Solve the puzzle beyond line logic, by probing and search", "Solve Completely"},
    {Command::CheckUniqueness, "Check Uniqueness", QKeySequence(), "Find whether the puzzle has exactly one solution",
     "Check Uniqueness"},
    {Command::ShowOtherSolution, "Show Other Solution", QKeySequence(),
     "Switch the grid between the two solutions found (red frames mark the cells that differ)", "Show Other Solution"},
}};

} // namespace

const CommandText& TextOf(Command command) {
    return kCommands[static_cast<size_t>(command)];
}
