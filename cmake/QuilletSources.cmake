# Every subsystem folder holds both layers. Window files (frm_*, form2*) and the widget
# platform layers (gui_*) build into quillet_ui; everything else into quillet_core.
function(quillet_add_folder_sources)
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
    target_sources(quillet_core PRIVATE ${core_sources})
  endif()
  if(ui_sources)
    target_sources(quillet_ui PRIVATE ${ui_sources})
  endif()
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
