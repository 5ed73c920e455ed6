#pragma once

// The bundle compiled into the program (":/res/..."). A static library's
// resources reach the program only when something refers to them; calling
// this does, and registers the bundle if that has not happened yet.
void registerResourceBundle();
