# lunaro_sources(VAR PATTERN dir ...): the files matching PATTERN in the
# current source folder and in each named sub-folder.
function(lunaro_sources var pattern)
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
  foreach(dir ${ARGN})
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${pattern})
  endforeach()
  file(GLOB found CONFIGURE_DEPENDS ${globs})
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# lunaro_library(NAME [SUBDIRS dir ...] DEPS ...): one static library per
# subsystem folder, built from every .cpp in it and in the sub-folders named
# (each one layer of the subsystem; a folder not named is not built).
function(lunaro_library name)
  cmake_parse_arguments(ARG "" "" "SUBDIRS;DEPS" ${ARGN})
  lunaro_sources(sources "*.cpp" ${ARG_SUBDIRS})
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# lunaro_test_suites(SUBSYSTEM [SUBDIRS dir ...] DEPS ...): the test files of
# one folder under tests/ and of the sub-folders named become one executable
# per label, chosen by the file name:
#   *_test.cpp -> unit, *_peer_test.cpp -> peer, *_gui_test.cpp -> gui,
#   *_e2e_test.cpp -> e2e.
function(lunaro_test_suites subsystem)
  cmake_parse_arguments(ARG "" "" "SUBDIRS;DEPS" ${ARGN})
  lunaro_sources(all "*_test.cpp" ${ARG_SUBDIRS})
  foreach(label unit peer gui e2e)
    set(files "")
    foreach(f ${all})
      get_filename_component(base ${f} NAME)
      if(base MATCHES "_(peer|gui|e2e)_test\\.cpp$")
        set(kind ${CMAKE_MATCH_1})
      else()
        set(kind unit)
      endif()
      if(kind STREQUAL label)
        list(APPEND files ${f})
      endif()
    endforeach()
    if(files)
      set(exe ${subsystem}_${label}_tests)
      add_executable(${exe} ${files})
      target_link_libraries(${exe} PRIVATE ${ARG_DEPS} lunaro_test_support GTest::gtest_main GTest::gmock)
      gtest_discover_tests(${exe}
        TEST_PREFIX "${subsystem}."
        PROPERTIES LABELS ${label}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60)
    endif()
  endforeach()
endfunction()
