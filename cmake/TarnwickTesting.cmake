# tarnwick_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Adds a test executable that runs in its own temporary HOME, XDG folders and runtime folder, headless, with no
# session or system bus and no display, so that no test can reach the real user's files or desktop.
function(tarnwick_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE TARNWICK_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/run-isolated $<TARGET_FILE:${name}>)
  if(ARG_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}")
  endif()
endfunction()

# tarnwick_add_view_test(<name> SOURCES <files...> LIBS <targets...>)
# A test that drives QML views through tests/support/viewtest.h: offscreen with the software scene graph, writing
# its screenshots to <build>/screenshots/<name>/. Where xvfb-run exists the same program runs a second time as
# <name>_xcb on a virtual X server (rendered through OpenGL), writing to <build>/screenshots-xcb/<name>/.
function(tarnwick_add_view_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  tarnwick_add_test(${name} SOURCES ${ARG_SOURCES} LIBS tarnwick_viewtest ${ARG_LIBS}
    ENV "QT_QUICK_BACKEND=software")
  target_compile_definitions(${name} PRIVATE TARNWICK_TEST_QML_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  find_program(TARNWICK_XVFB_RUN xvfb-run)
  if(TARNWICK_XVFB_RUN)
    add_test(NAME ${name}_xcb COMMAND ${PROJECT_SOURCE_DIR}/tests/run-isolated
      ${TARNWICK_XVFB_RUN} -a env QT_QPA_PLATFORM=xcb $<TARGET_FILE:${name}>)
    # xvfb-run -a picks a free display by looking; two starting at once can pick the same one.
    set_tests_properties(${name}_xcb PROPERTIES RESOURCE_LOCK xvfb)
  endif()
endfunction()
