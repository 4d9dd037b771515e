// Start-up: the runtime's initialisation, which the application asks for with notify code 6.
// Windows only.
#pragma once

namespace tl {

// Records the program's directory and file name, and makes the directory current.
void RecordProgramPath();
// The start-up steps for the header in use, the error reporter first: from then on a runtime
// error shows its box and ends the program. Runs once; does nothing before a header is in use.
void InitializeRuntime();

}  // namespace tl
