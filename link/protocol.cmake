# target_sources(quorvex_link PRIVATE ...) for the COM port and the transfers
