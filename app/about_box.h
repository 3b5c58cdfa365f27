// The about box: product name and version, with buttons for the help and donation pages.
#pragma once

// Runs the box modally without an owner; returns when it is closed.
void ShowAboutBox();
