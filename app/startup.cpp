// startup.cpp - placing the window, the file associations and the command line.
#include "app/startup.h"

#include "app/engine_guard.h"
#include "app/file_associations.h"
#include "app/main_frame.h"

namespace App {

void StartUp(CMainFrame& frame, const QStringList& arguments) {
    frame.setGeometry(frame.WindowedGeometry());
    frame.show();
    Emu::Engine* engine = frame.GetEngine();
    if (!engine) return;
    if (!RegisterFileAssociations(engine->GetSettings().getString(L"InstallDir")))
        Emu::ConsolePrintf("The file associations could not be written.\n");
    if (arguments.size() > 1) {
        // The shell has already unquoted the name; RunFile strips one leading
        // and one trailing quote should they remain.
        const CString path(arguments[1].toStdWString());
        RunGuarded([&] { engine->RunFile(path); });
    }
    frame.UpdateCommands();
}

}  // namespace App
