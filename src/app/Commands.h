#pragma once

#include <QKeySequence>
#include <QString>

// The commands of the main window with the texts the user sees: the menu
// text, the shortcut shown beside it, the status-bar prompt and the tooltip.
// A command without a prompt shows none, and its toolbar button no tooltip.
enum class Command {
    New,
    Open,
    Save,
    SaveAsBmp,
    SaveAllAsBmp,
    Solve,
    Print,
    PrintPreview,
    PrintSetup,
    Exit,
    ToggleToolBar,
    ToggleStatusBar,
    About,
    NextPane,
    PreviousPane,
    SolveCompletely,
    CheckUniqueness,
    ShowOtherSolution,
    Stop,
    ZoomIn,
    ZoomOut,
    ActualSize,
    FitToWindow,
    ExportPicture,
    SaveSolutionAs,
    Copy,
    NewPuzzle,
    ImportPicture,
    SavePuzzleAs,
    EditPicture,
    RatePuzzle,
    Options,
    Undo,
    Redo,
    ResizePicture,
    ClearPicture,
    InvertPicture,
    ShiftUp,
    ShiftDown,
    ShiftLeft,
    ShiftRight,
};

struct CommandText {
    Command command;
    const char* pszMenuText;
    QKeySequence shortcut;
    const char* pszPrompt;                   // status bar; empty: none
    const char* pszTooltip;                  // toolbar; empty: none
    QKeySequence alternate = QKeySequence(); // a second shortcut, not shown in the menu
};

const CommandText& TextOf(Command command);

// Prompt of the recent-file entries.
inline constexpr const char* kRecentFilePrompt = "Open this document";
