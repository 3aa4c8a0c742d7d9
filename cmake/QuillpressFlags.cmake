# Compiler flags shared by every target of the project.
add_library(qp_flags INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(qp_flags INTERFACE -Wall -Wextra -Wpedantic)
  if(QP_WARNINGS_AS_ERRORS)
    target_compile_options(qp_flags INTERFACE -Werror)
  endif()
endif()

if(QP_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(QP_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(QP_SANITIZE STREQUAL "fuzzer")
  # The libraries get the fuzzer's coverage without its main; the fuzz
  # targets link the fuzzer itself (fuzz/CMakeLists.txt).
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT QP_SANITIZE STREQUAL "")
  message(FATAL_ERROR "QP_SANITIZE must be empty, address, thread or fuzzer")
endif()

# Sources include project headers by folder: #include "platform/Platform.h".
target_include_directories(qp_flags INTERFACE ${PROJECT_SOURCE_DIR})
