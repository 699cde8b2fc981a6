# tests of the serial backends
