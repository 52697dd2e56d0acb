#include "app/Commands.h"

#include <array>

namespace {

const std::array<CommandText, 26> kCommands = {{
    {Command::New, "&New", QKeySequence(Qt::CTRL | Qt::Key_N), "Create a new document", "New"},
    {Command::Open, "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O), "Open an existing TB document", "Open"},
    {Command::Save, "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), "Save the active TB document", "Save"},
    {Command::SaveAsBmp, "Save as BMP", QKeySequence(), "", ""},
    {Command::SaveAllAsBmp, "Save ALL as BMP", QKeySequence(), "", ""},
    // Solve has no prompt and its button no tooltip; F5 is its key.
    {Command::Solve, "Solve", QKeySequence(Qt::Key_F5), "", ""},
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
    {Command::SolveCompletely, "Solve Completely", QKeySequence(Qt::CTRL | Qt::Key_F5),
     "Solve the puzzle beyond line logic, by probing and search", "Solve Completely"},
    {Command::CheckUniqueness, "Check Uniqueness", QKeySequence(Qt::CTRL | Qt::Key_U),
     "Find whether the puzzle has exactly one solution", "Check Uniqueness"},
    {Command::ShowOtherSolution, "Show Other Solution", QKeySequence(),
     "Switch the grid between the two solutions found (red frames mark the cells that differ)", "Show Other Solution"},
    {Command::Stop, "Stop", QKeySequence(Qt::Key_Escape), "Stop the running solve", "Stop"},
    {Command::ZoomIn, "Zoom &In", QKeySequence(Qt::CTRL | Qt::Key_Plus), "Show the picture larger", "Zoom In",
     QKeySequence(Qt::CTRL | Qt::Key_Equal)},
    {Command::ZoomOut, "Zoom &Out", QKeySequence(Qt::CTRL | Qt::Key_Minus), "Show the picture smaller", "Zoom Out"},
    {Command::ActualSize, "&Actual Size", QKeySequence(Qt::CTRL | Qt::Key_0),
     "Show the picture one pixel per screen pixel", "Actual Size"},
    {Command::FitToWindow, "&Fit to Window", QKeySequence(Qt::CTRL | Qt::Key_9), "Show the whole picture in the window",
     "Fit to Window"},
    {Command::ExportPicture, "&Export Picture...", QKeySequence(Qt::CTRL | Qt::Key_E),
     "Write the picture as PNG, SVG, PDF or BMP where you choose", "Export Picture"},
    {Command::SaveSolutionAs, "Save Solution &As...", QKeySequence(), "Write the grid as text where you choose",
     "Save Solution As"},
    // The keys of the framework's Copy, which did nothing until now.
    {Command::Copy, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), "Copy the picture and the grid as text", "Copy",
     QKeySequence(Qt::CTRL | Qt::Key_Insert)},
}};

} // namespace

const CommandText& TextOf(Command command) {
    return kCommands[static_cast<size_t>(command)];
}
