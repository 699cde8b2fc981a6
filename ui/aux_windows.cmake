# target_sources(quorvex_ui PRIVATE ...) for the auxiliary windows
