#pragma once
// The start-up sequence: one instance per program folder, the shared state prepared in a
// fixed order, then the main window with the command bar and the entry list, and the tips
// window or the tour.
#include "core/platform_api.h"

#include <QString>
#include <functional>
#include <memory>

class QLockFile;

namespace qb {

class Core;
class Shell;

// One started program. Destroyed in reverse: windows, then the core, then the lock.
struct RunningProgram {
    RunningProgram();
    ~RunningProgram();
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<Core> core;
    std::unique_ptr<Shell> shell;
};

// The name of the single-instance lock inside the program folder.
inline QString instance_lock_name() { return QStringLiteral("Quorbelix.lock"); }

// Runs the start-up; nullptr when another instance already runs on this program folder
// (after the message, and before any data file was opened). configure runs once the shell
// exists and before any window is made, so tests can put windows of their own in place.
std::unique_ptr<RunningProgram> Main(const Platform& platform, const QString& program_folder,
                                     const std::function<void(Shell&)>& configure = {});

} // namespace qb
