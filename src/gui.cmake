# The Qt window: a library of the widgets (linked by the tests too) and the program.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport)

add_library(kestrel_gui STATIC
  app/captions.h
  app/platform.h
  app/qt_platform.h
  app/qt_platform.cpp
  app/pict_form.h
  app/pict_form.cpp
  app/pict_form_interact.cpp
  app/pict_form_shell.cpp
  app/pict_form_view.cpp
  app/pict_form_comforts.cpp
  app/window_menus.h
  app/window_menus.cpp
  app/plot_output.h
  app/plot_output.cpp
  app/stepwise_drawing.h
  app/stepwise_drawing.cpp
  app/status_panels.h
  app/status_panels.cpp
  app/viewport.h
  app/viewport.cpp
  app/plot_loader.h
  app/plot_loader.cpp
  app/file_names.h
  app/file_names.cpp
  app/recent_files.h
  app/recent_files.cpp
  app/dialogs.h
  app/dialogs.cpp
  app/drawing_area.h
  app/drawing_area.cpp
  app/file_follower.h
  app/file_follower.cpp
  app/pens_panel.h
  app/pens_panel.cpp
  app/pages_panel.h
  app/pages_panel.cpp
  app/true_scale_print.h
  app/true_scale_print.cpp
)
target_link_libraries(kestrel_gui PUBLIC kestrel_core Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
target_compile_definitions(kestrel_gui PUBLIC QT_NO_FOREACH)

set(kestrel_icon_dir ${PROJECT_SOURCE_DIR}/resources/icons)
qt_add_resources(kestrel_gui kestrel_icons
  PREFIX /icons
  BASE ${kestrel_icon_dir}
  FILES
    ${kestrel_icon_dir}/exit.png
    ${kestrel_icon_dir}/open.png
    ${kestrel_icon_dir}/save.png
    ${kestrel_icon_dir}/print.png
    ${kestrel_icon_dir}/copy.png
    ${kestrel_icon_dir}/zoomin.png
    ${kestrel_icon_dir}/zoomout.png
    ${kestrel_icon_dir}/fit.png
)

qt_add_resources(kestrel_gui kestrel_program_icon
  PREFIX /
  BASE ${PROJECT_SOURCE_DIR}/resources
  FILES ${PROJECT_SOURCE_DIR}/resources/kestrel.png
)

# The version window shows the project version; an installed program finds its
# manual under share/ relative to bin/.
include(GNUInstallDirs)
file(RELATIVE_PATH kestrel_data_from_bin
  /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_DATADIR})
target_compile_definitions(kestrel_gui PRIVATE
  KESTREL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  KESTREL_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  KESTREL_VERSION_PATCH=${PROJECT_VERSION_PATCH}
  KESTREL_DATA_FROM_BIN="${kestrel_data_from_bin}")

add_executable(kestrel app/main.cpp)
target_link_libraries(kestrel PRIVATE kestrel_gui)

# The manual sits beside the program in the build tree, as the program looks for it there.
file(GLOB kestrel_help_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/*)
set(kestrel_help_copies)
foreach(source IN LISTS kestrel_help_files)
  get_filename_component(name ${source} NAME)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/help/${name})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${copy}
    DEPENDS ${source})
  list(APPEND kestrel_help_copies ${copy})
endforeach()
add_custom_target(kestrel_help ALL DEPENDS ${kestrel_help_copies})

install(TARGETS kestrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrel/help)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrel.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrel-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kestrel.xml)
install(FILES ${PROJECT_SOURCE_DIR}/resources/kestrel.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)

set_target_properties(kestrel_gui kestrel PROPERTIES AUTOMOC ON)
