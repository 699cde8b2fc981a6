# target_sources(quorvex_link PRIVATE ...) for the serial backends
