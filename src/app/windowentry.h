#pragma once

/// The window part of the program lives in a library of its own, loaded only when a window is
/// to open, so that the command-line modes never load Qt Widgets, Qt Print Support or CUPS.

/// The library's file name; the executable finds it through its run path (its own folder in a
/// build, the program's library folder once installed).
#define QHSY_WINDOW_LIBRARY "libqhsy_window.so"

/// The one symbol the library exports: runs the windowed program and returns its exit code.
#define QHSY_WINDOW_ENTRY "qhsy_run_window"

extern "C" {
using QhsyRunWindow = int (*)(int argc, char **argv);
}
