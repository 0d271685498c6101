# The fuzz targets. fuzz/run passes this file as CMAKE_PROJECT_INCLUDE to a
# build of its own, made with clang and sanitizer flags on every target, so
# the ordinary build never sees them. The libraries named here are defined
# later in the project; target names are resolved when the build is generated.

# libFuzzer target: opens and loads arbitrary bytes as an archive.
add_executable(zip_load_fuzzer ${CMAKE_CURRENT_LIST_DIR}/zip_load_fuzzer.cpp)
target_link_libraries(zip_load_fuzzer PRIVATE lunaro_archive)
target_link_options(zip_load_fuzzer PRIVATE -fsanitize=fuzzer)

# Writes the seed corpus: the odd archives the reader's tests are made of.
add_executable(zip_fuzz_seeds ${CMAKE_CURRENT_LIST_DIR}/make_seeds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../tests/support/zip_builder.cpp)
target_include_directories(zip_fuzz_seeds PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)

# These targets are made before the project sets its language level.
set_target_properties(zip_load_fuzzer zip_fuzz_seeds PROPERTIES CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON)
target_compile_options(zip_load_fuzzer PRIVATE -Wall -Wextra)
target_compile_options(zip_fuzz_seeds PRIVATE -Wall -Wextra)

# libFuzzer target: extracts arbitrary bytes through ZE_Exec. The engine's
# entry points are compiled in rather than loaded: its shared library is
# linked with --no-undefined, which the sanitizer runtimes (living in the
# executable) cannot satisfy.
add_executable(engine_extract_fuzzer ${CMAKE_CURRENT_LIST_DIR}/engine_extract_fuzzer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../engine/exports/zip_engine_exports.cpp)
target_link_libraries(engine_extract_fuzzer PRIVATE lunaro_engine_exec ${CMAKE_DL_LIBS})
target_link_options(engine_extract_fuzzer PRIVATE -fsanitize=fuzzer)
set_target_properties(engine_extract_fuzzer PROPERTIES CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON)
target_compile_options(engine_extract_fuzzer PRIVATE -Wall -Wextra)

# The network parsers' targets, each seeded from fuzz/net/seeds/NAME/.
set(lunaro_net_fuzzers ftp_listing_fuzzer ftp_reply_fuzzer http_response_fuzzer proxy_reply_fuzzer url_fuzzer)
foreach(target ${lunaro_net_fuzzers})
  add_executable(${target} ${CMAKE_CURRENT_LIST_DIR}/net/${target}.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(${target} PRIVATE lunaro_net)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${target} PROPERTIES CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endforeach()
