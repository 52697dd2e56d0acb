#include "app/Commands.h"

#include <array>

namespace {

const std::array<CommandText, 41> kCommands = {{
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
    {Command::NewPuzzle, "New &Puzzle...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
     "Design a new puzzle by drawing its picture", "New Puzzle"},
    {Command::ImportPicture, "&Import Picture...", QKeySequence(),
     "Make a design from an image: PNG, JPEG, BMP, GIF...", "Import Picture"},
    {Command::SavePuzzleAs, "Save Puzzle As...", QKeySequence(), "Save the design's clues under a new name",
     "Save Puzzle As"},
    {Command::EditPicture, "&Edit Picture", QKeySequence(),
     "Draw the puzzle's picture; its clues follow and are checked as you draw", "Edit Picture"},
    {Command::RatePuzzle, "&Rate Puzzle", QKeySequence(), "How hard the puzzle is, and why", "Rate Puzzle"},
    {Command::Options, "&Options...", QKeySequence(), "Change how long the live check may run", "Options"},
    // The framework's Undo keys (Ctrl+Z, Alt+Backspace) did nothing until the editor came.
    {Command::Undo, "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), "Undo the last change of the picture", "Undo",
     QKeySequence(Qt::ALT | Qt::Key_Backspace)},
    {Command::Redo, "&Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "Redo the change undone last", "Redo",
     QKeySequence(Qt::CTRL | Qt::Key_Y)},
    {Command::ResizePicture, "Re&size Picture...", QKeySequence(), "Add or remove rows and columns at any side",
     "Resize Picture"},
    {Command::ClearPicture, "C&lear Picture", QKeySequence(), "Empty every cell of the picture", "Clear Picture"},
    {Command::InvertPicture, "&Invert Picture", QKeySequence(), "Fill the empty cells and empty the filled ones",
     "Invert Picture"},
    {Command::ShiftUp, "Shift &Up", QKeySequence(), "Move the picture up a row", "Shift Up"},
    {Command::ShiftDown, "Shift &Down", QKeySequence(), "Move the picture down a row", "Shift Down"},
    {Command::ShiftLeft, "Shift &Left", QKeySequence(), "Move the picture left a column", "Shift Left"},
    {Command::ShiftRight, "Shift &Right", QKeySequence(), "Move the picture right a column", "Shift Right"},
}};

} // namespace

const CommandText& TextOf(Command command) {
    return kCommands[static_cast<size_t>(command)];
}
