// The start sound: the WAVE resource "LOAD", played on a thread of its own.
#pragma once

#include <windows.h>

// Starts a thread that plays the sound to its end; nobody waits for it.
void PlayStartSound(HINSTANCE instance);
