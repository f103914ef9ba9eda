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
  app/pict_form_output.cpp
  app/pict_form_shell.cpp
  app/dialogs.h
  app/dialogs.cpp
  view/drawing_area.h
  view/drawing_area.cpp
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

add_executable(kestrel app/main.cpp)
target_link_libraries(kestrel PRIVATE kestrel_gui)

set_target_properties(kestrel_gui kestrel PROPERTIES AUTOMOC ON)
