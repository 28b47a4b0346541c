# Warnings are errors in the project's own code; third-party headers come in as
# system includes and stay out of it.
function(lumora_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror)
endfunction()

# A Qt-free library of the core: warnings, include root and the C++ standard.
function(lumora_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    lumora_warnings(${name})
endfunction()
