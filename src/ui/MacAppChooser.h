#pragma once

#include "launcher/Launcher.h"

// The open panel for a Mac application bundle: a folder dialog that starts in the given folder,
// steps into ordinary folders and accepts only folders whose name ends in ".app".
MacAppChooser fileDialogMacAppChooser();
