# Common settings for every target of our own: warnings as errors, and the
# sanitizers or fuzzer instrumentation when the build asks for them.

function(norvo_target_settings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    if(NORVO_SANITIZE)
        target_compile_options(${target} PRIVATE
            -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(NORVO_FUZZ)
        target_compile_options(${target} PRIVATE
            -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()

# norvo_library(name SOURCES...) - a static library of ours; the repository
# root is its include root, so code includes "model/Quest.h".
function(norvo_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    norvo_target_settings(${name})
endfunction()

# norvo_executable(name SOURCES...) - a program of ours, placed in bin/.
function(norvo_executable name)
    add_executable(${name} ${ARGN})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    norvo_target_settings(${name})
endfunction()

# norvo_test(name SOURCES... LIBS libs...) - one GoogleTest program, run by ctest.
function(norvo_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    norvo_target_settings(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # The discovered tests run through `env`, which gives them their
    # environment: a list-valued ENVIRONMENT property does not survive the
    # test discovery whole.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
        "env;QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;NORVO_SOURCE_DIR=${PROJECT_SOURCE_DIR};NORVO_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# norvo_fuzzer(name SOURCES... LIBS libs...) - one libFuzzer target; its stored
# corpus lives in fuzz/corpus/<name>/.
function(norvo_fuzzer name)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${F_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE -Wall -Wextra -Werror
        -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
endfunction()
