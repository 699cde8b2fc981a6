# tests of the auxiliary windows
