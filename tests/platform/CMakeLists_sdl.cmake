# The SDL backend and the engine's message box. The backend tests run on SDL's dummy video
# driver, so they need no display.
add_executable(platform_sdl_tests
  ${CMAKE_CURRENT_LIST_DIR}/message_box_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_backend_test.cpp
)
target_link_libraries(platform_sdl_tests PRIVATE
  talvex_platform_sdl talvex_sdl2 GTest::gtest_main)
talvex_warnings(platform_sdl_tests)
gtest_discover_tests(platform_sdl_tests)
