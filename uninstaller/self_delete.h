// Quellix's last act: having the command interpreter delete its executable after it exits.
#pragma once

namespace quellix {

// Starts the interpreter named by COMSPEC, hidden, suspended and at idle priority, with the
// command that deletes Quellix's executable, and raises Quellix so that it ends first. When the
// path or the interpreter is unknown, or the start fails, the executable stays.
void ScheduleSelfDelete();

}  // namespace quellix
