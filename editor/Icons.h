// The editor's own small pictures, for the picture buttons, the push buttons
// and the menu. They are drawn in code on one 24-unit grid with one outline
// colour and a small palette, so that they look alike at every size and
// under every style, and need no picture files.
#pragma once

#include <QIcon>

namespace editor {

enum class Picture {
    NewQuest,     // a blank page with a folded corner
    OpenQuest,    // an open folder
    SaveQuest,    // a floppy disk
    CompileRun,   // a gear with a green start triangle
    Compile,      // a gear
    Parameters,   // three sliders
    Exit,         // a door with an arrow leaving it
    AddLocation,  // a green plus
    DelLocation,  // a red cross
    Ok,           // a green tick
    Cancel,       // a red cross in a circle
    Help,         // a question mark in a blue circle
    Credits,      // a star
    Play,         // a green start triangle
    CheckScripts, // lines of text with a tick
};

// The picture at the sizes the editor shows it (16, 24, 32 and 48 pixels).
QIcon EditorIcon(Picture picture);

} // namespace editor
