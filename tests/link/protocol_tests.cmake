# tests of the register exchange and the transfers
