# Shared settings for qrlogo's own targets: C++20 and warnings as errors in our code only.
function(qrlogo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wno-error=deprecated-declarations)
    if(QRLOGO_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # GCC's flow analysis under the sanitizers reports uninitialised members inside the
        # standard library (std::function in std::regex) that the normal build does not.
        target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    endif()
endfunction()

# One static library per folder: every .cpp of the folder, the folder's parent on the include path.
function(qrlogo_library name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        # A folder whose code has not been written yet still gives a target to link.
        set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    qrlogo_warnings(${name})
endfunction()

# A program of ours that lands in build/bin.
function(qrlogo_program name)
    add_executable(${name} ${ARGN})
    qrlogo_warnings(${name})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
endfunction()

# A test program: qrlogo_test(name [LABEL unit|e2e|tsan] [SERVICE_PORT] SOURCES ...). Its cases are discovered
# one by one for ctest and carry the label (default unit). tests/test_main.cpp sets the
# environment: Qt's offscreen platform, QRLOGO_SOURCE_DIR and QRLOGO_BIN_DIR.
function(qrlogo_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "SERVICE_PORT" "LABEL" "SOURCES")
    if(NOT arg_LABEL)
        set(arg_LABEL unit)
    endif()
    add_executable(${name} ${arg_SOURCES})
    qrlogo_warnings(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE qrlogo_test_main GTest::gmock)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    # Tests that talk to the QR service on the port the program is built for (every
    # end-to-end test among them) run one at a time.
    set(lock "")
    if(arg_LABEL STREQUAL "e2e" OR arg_SERVICE_PORT)
        set(lock RESOURCE_LOCK qrlogo_service_port)
    endif()
    gtest_discover_tests(${name}
        PROPERTIES LABELS ${arg_LABEL} ${lock}
        DISCOVERY_TIMEOUT 60)
    if(arg_LABEL STREQUAL "tsan")
        add_dependencies(tsan_tests ${name})
    endif()
endfunction()

# A libFuzzer target: fuzz/<name>/ holds its source and its seed corpus in corpus/.
function(qrlogo_fuzz_target name)
    add_executable(fuzz-${name} ${ARGN})
    qrlogo_warnings(fuzz-${name})
    target_include_directories(fuzz-${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_options(fuzz-${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(fuzz-${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
    add_dependencies(fuzz_targets fuzz-${name})
endfunction()
