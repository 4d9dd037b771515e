// How a runtime error ends the program: a box a person sees, then the end. Windows only.
#pragma once

namespace tl {

// Makes the box and the end the runtime's error reporter.
void InstallErrorReporter();

}  // namespace tl
