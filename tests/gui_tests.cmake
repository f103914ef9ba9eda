# Widget tests on the offscreen platform, and a smoke run of the real program under Xvfb.
find_package(Qt6 REQUIRED COMPONENTS Test)
find_package(ZLIB REQUIRED)

add_executable(gui_tests
  app/gui_test_main.cpp
  app/form_test_support.h
  app/pict_form_shell_test.cpp
  app/pict_form_open_test.cpp
  app/pict_form_layout_test.cpp
  app/pict_form_interact_test.cpp
  app/pict_form_output_test.cpp
  app/dialogs_test.cpp
  app/qt_platform_test.cpp
  app/drawing_area_test.cpp
  app/plot_panels_test.cpp
)
target_include_directories(gui_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
target_link_libraries(gui_tests PRIVATE kestrel_gui Qt6::Test GTest::gtest ZLIB::ZLIB)
target_compile_definitions(gui_tests PRIVATE SAMPLES_DIR="${PROJECT_SOURCE_DIR}/samples"
  KESTREL_BUILT_MANUAL="$<TARGET_FILE_DIR:kestrel>/help/index.htm")
gtest_discover_tests(gui_tests
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60)

# Skips (77) when Xvfb or ImageMagick is missing; fails on anything else.
add_test(NAME gui_smoke
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/smoke-test $<TARGET_FILE:kestrel> ${PROJECT_SOURCE_DIR}/samples/house.hpg)
set_tests_properties(gui_smoke PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)

# cmake --install into a temporary prefix: programs, manual, desktop entry, icon, MIME type.
# Skips (77) when desktop-file-validate is missing.
add_test(NAME install_layout COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-install ${PROJECT_BINARY_DIR})
set_tests_properties(install_layout PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)

# Another process pastes what the copy command put on the real clipboard.
# Skips (77) when Xvfb or xclip is missing.
add_executable(clipboard_paste_check app/clipboard_paste_check.cpp)
target_link_libraries(clipboard_paste_check PRIVATE kestrel_gui)
add_test(NAME clipboard_paste
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/xvfb-run-check $<TARGET_FILE:clipboard_paste_check>)
set_tests_properties(clipboard_paste PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)
