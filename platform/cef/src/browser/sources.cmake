# The browser half of the library: browsers, their windows, frames, input and handlers.
target_sources(cef PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/browser_impl.cc
  ${CMAKE_CURRENT_LIST_DIR}/browser_registry.cc
  ${CMAKE_CURRENT_LIST_DIR}/browser_window.cc
  ${CMAKE_CURRENT_LIST_DIR}/context_menu.cc
  ${CMAKE_CURRENT_LIST_DIR}/create_browser.cc
  ${CMAKE_CURRENT_LIST_DIR}/frame_impl.cc
  ${CMAKE_CURRENT_LIST_DIR}/frame_painter.cc
  ${CMAKE_CURRENT_LIST_DIR}/menu_defaults.cc
  ${CMAKE_CURRENT_LIST_DIR}/page_dialog_window.cc
  ${CMAKE_CURRENT_LIST_DIR}/popup_opener.cc
)
# IMM reads the input method's results.
target_link_libraries(cef PUBLIC imm32 gdi32 user32)

# Programs of the browser half: the frame-path measurement and a sample window.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../../bench ${CMAKE_CURRENT_BINARY_DIR}/bench)
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../../samples ${CMAKE_CURRENT_BINARY_DIR}/samples)
