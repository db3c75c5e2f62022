# The layers of src/, bottom to top, as src/layers.txt declares them: one folder a line.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/layers.txt layer_lines REGEX "^[a-z]")
set(QUILLET_LAYERS "")
foreach(line IN LISTS layer_lines)
  string(REGEX MATCH "^[a-z_0-9]+" folder "${line}")
  list(APPEND QUILLET_LAYERS ${folder})
endforeach()
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/layers.txt)

# A folder's core files build into quillet_<folder>, linked to the layer below it and so to
# every lower one. Its windows (frm_*, form2*) and widget layers (gui_*) build into
# quillet_<folder>_ui, over the whole core and the platform's widget kit; the shell's windows
# (app) over every folder's windows.
function(quillet_add_folder_sources)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  list(FIND QUILLET_LAYERS ${folder} rank)
  if(rank LESS 0)
    message(FATAL_ERROR "src/${folder} is not in src/layers.txt")
  endif()
  file(GLOB all_sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(GLOB ui_sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/frm_*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/frm_*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/form2*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/form2*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/gui_*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/gui_*.h)
  set(core_sources ${all_sources})
  if(ui_sources)
    list(REMOVE_ITEM core_sources ${ui_sources})
  endif()
  if(core_sources)
    add_library(quillet_${folder} STATIC ${core_sources})
    target_include_directories(quillet_${folder} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(quillet_${folder} PUBLIC Qt6::Core Qt6::Sql)
    if(rank GREATER 0)
      math(EXPR below "${rank} - 1")
      list(GET QUILLET_LAYERS ${below} lower)
      target_link_libraries(quillet_${folder} PUBLIC quillet_${lower})
    endif()
    target_link_libraries(quillet_core INTERFACE quillet_${folder})
    quillet_add_link_check(quillet_${folder})
  endif()
  if(ui_sources)
    add_library(quillet_${folder}_ui STATIC ${ui_sources})
    target_link_libraries(quillet_${folder}_ui PUBLIC quillet_core
      Qt6::Gui Qt6::Widgets Qt6::PrintSupport Qt6::Svg)
    if(NOT folder STREQUAL "platform")
      target_link_libraries(quillet_${folder}_ui PUBLIC quillet_platform_ui)
    endif()
    target_link_libraries(quillet_ui INTERFACE quillet_${folder}_ui)
    if(NOT folder STREQUAL "app")
      quillet_add_link_check(quillet_${folder}_ui)
    endif()
  endif()
endfunction()

# Links every object of library against what it links alone, so that a call up the layers, or
# from a window to another folder's window, fails to link even where the program would pull
# the callee in from elsewhere. The executable is never run.
function(quillet_add_link_check library)
  add_executable(${library}_link_check ${CMAKE_SOURCE_DIR}/cmake/link_check_main.cpp)
  set_target_properties(${library}_link_check PROPERTIES AUTOMOC OFF)
  target_link_libraries(${library}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>")
endfunction()
# One test executable per test folder and layer: *_test.cpp links the core with a
# QCoreApplication main; gui_*_test.cpp and frm_*_test.cpp link the windows with a
# QApplication main on the offscreen platform; xcb_*_test.cpp the same windows on a private Xvfb
# display. Each test case runs as its own CTest test.
function(quillet_add_folder_tests name)
  file(GLOB all_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB ui_tests CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/gui_*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/frm_*_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/form2*_test.cpp)
  file(GLOB xcb_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/xcb_*_test.cpp)
  set(core_tests ${all_tests})
  if(ui_tests)
    list(REMOVE_ITEM core_tests ${ui_tests})
  endif()
  if(xcb_tests)
    list(REMOVE_ITEM core_tests ${xcb_tests})
    add_executable(test_${name}_xcb ${xcb_tests})
    target_link_libraries(test_${name}_xcb PRIVATE quillet_test_xcb)
    # libxkbcommon-x11, under the xcb platform, copies a counted string with strndup, which
    # AddressSanitizer's strict_string_checks takes for reading past its end.
    gtest_discover_tests(test_${name}_xcb
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb"
      ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::strict_string_checks=0"
      DISCOVERY_TIMEOUT 60)
  endif()
  if(core_tests)
    add_executable(test_${name} ${core_tests})
    target_link_libraries(test_${name} PRIVATE quillet_test_core)
    gtest_discover_tests(test_${name}
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" DISCOVERY_TIMEOUT 60)
  endif()
  if(ui_tests)
    add_executable(test_${name}_ui ${ui_tests})
    target_link_libraries(test_${name}_ui PRIVATE quillet_test_ui)
    gtest_discover_tests(test_${name}_ui
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
