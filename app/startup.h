// startup.h - what the program does after creating its main window: place and
// show it, register the file associations, run the file of the command line.
#pragma once

#include <QStringList>

namespace App {

class CMainFrame;

// Places the frame at its windowed place and shows it; writes the file
// associations for the engine's InstallDir (empty: the program's folder);
// runs the first argument after the program's name, taken as the shell gave
// it, through Engine::RunFile. A file that fails to load is reported and the
// program goes on.
void StartUp(CMainFrame& frame, const QStringList& arguments);

}  // namespace App
