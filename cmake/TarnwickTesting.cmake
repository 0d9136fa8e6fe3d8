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
