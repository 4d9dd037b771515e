#include "app/program.h"

#include "app/handler_table.h"
#include "forms/form_image_data.h"
#include "app/libraries.h"

namespace tl::app {

const Constants kConstants = {
    "",
    {1, 0},
    "user32.dll",
    "user32",
    "GetWindowLongA",
    "SetWindowLongA",
    "SetLayeredWindowAttributes",
    "GetCursorPos",
    "ClientToScreen",
    "SetCursorPos",
    "GetFocus",
    "PostMessageA",
    PackConstantTexts(),
};

// Indexes 0-2 serve the window-opacity routine, 3-5 saving and restoring the pointer, 6-7 the
// click and key a click on the entry list hands to the program's own windows; an empty library
// name searches the standard libraries.
constexpr uint32_t kDllCount = declared::Count;
const char* const kDllLibraryNames[kDllCount] = {kConstants.user32Dll, kConstants.emptyText,
                                                 kConstants.emptyText, kConstants.user32,
                                                 kConstants.user32Dll, kConstants.user32Dll,
                                                 kConstants.user32Dll, kConstants.user32Dll};
const char* const kDllEntryNames[kDllCount] = {kConstants.getWindowLong,  kConstants.setWindowLong,
                                               kConstants.setLayeredWindowAttributes,
                                               kConstants.getCursorPos, kConstants.clientToScreen,
                                               kConstants.setCursorPos, kConstants.getFocus,
                                               kConstants.postMessage};

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
    kDllCount,
    kDllLibraryNames,
    kDllEntryNames,
};

}  // namespace tl::app
