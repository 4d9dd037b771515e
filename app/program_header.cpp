#include "app/program_header.h"

#include "app/handler_table.h"
#include "forms/form_image_data.h"
#include "runtime/libraries.h"

namespace tl::app {

const Constants kConstants = {
    {0, 0, 0, 0},
    {1, 0},
    {"user32.dll", "", "", "user32", "user32.dll", "user32.dll"},
    {"GetWindowLongA", "SetWindowLongA", "SetLayeredWindowAttributes", "GetCursorPos",
     "ClientToScreen", "SetCursorPos"},
};

const ProgramHeader kProgramHeader = {
    3,
    0,
    121670,
    &kHandlerTable,
    &kConstants,
    sizeof kConstants,
    forms::kFormImage,
    forms::kFormImageLength,
    kLibraryCount,
    kLibraries,
    6,
    kConstants.dllLibraryNames,
    kConstants.dllEntryNames,
};

}  // namespace tl::app
