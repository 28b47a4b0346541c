# Warnings are errors in the project's own code; third-party headers come in as
# system includes and stay out of it.
function(lumora_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror)
    # GCC 12 reports string concatenation of a literal and a temporary as an
    # overlapping memcpy at -O2 (a false positive of its -Wrestrict).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()

# A Qt-free library of the core: warnings, include root and the C++ standard.
function(lumora_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    lumora_warnings(${name})
endfunction()
