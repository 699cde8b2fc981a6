# tests of the main window
