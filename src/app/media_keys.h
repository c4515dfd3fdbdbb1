#pragma once

#include "app/mpris_service.h"

class TfPrinc;

// The media service's hooks on the main window: the music panel's commands,
// the window shown as from the tray, Exit as File > Exit.
MprisHooks MediaKeyHooks(TfPrinc& window);
