# MainFrm, the Qt adapters of the channel panel and the operator, the text set application and
# the hand-over of errors to the default error report.
target_sources(quorvex_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/error_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/error_report.h
  ${CMAKE_CURRENT_LIST_DIR}/language_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/language_texts.h
  ${CMAKE_CURRENT_LIST_DIR}/main_frm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm.h
  ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel.h
  ${CMAKE_CURRENT_LIST_DIR}/qt_operator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_operator.h
)
