# Compile options shared by every target of the project, carried by one
# interface library so that no directory-wide flags are needed.
add_library(qmp_options INTERFACE)
target_compile_features(qmp_options INTERFACE cxx_std_20)
target_compile_options(qmp_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  # Trigraphs are gone from C++17; "??" in texts is just two question marks.
  -Wno-trigraphs
  # Keyword weights are reproduced operation by operation: no fused multiply-add.
  -ffp-contract=off
  $<$<BOOL:${QMP_WERROR}>:-Werror>)

if(QMP_SANITIZE)
  target_compile_options(qmp_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(qmp_options INTERFACE -fsanitize=address,undefined)
endif()

if(QMP_TSAN)
  if(QMP_SANITIZE)
    message(FATAL_ERROR "QMP_TSAN and QMP_SANITIZE exclude each other: ThreadSanitizer "
                        "cannot run beside AddressSanitizer")
  endif()
  target_compile_options(qmp_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(qmp_options INTERFACE -fsanitize=thread)
endif()

if(QMP_BUILD_FUZZ)
  # Coverage instrumentation for libFuzzer in every library the targets link.
  target_compile_options(qmp_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# qmp_add_library(name sources...): one static library per subsystem folder.
function(qmp_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC qmp_options)
endfunction()
