# target_sources(quorvex_ui PRIVATE ...) for the main window
