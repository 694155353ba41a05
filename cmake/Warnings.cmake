# Warnings for the project's own code only; third-party headers come in as system headers.
add_library(lumaset_warnings INTERFACE)
target_compile_options(lumaset_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(LUMASET_WERROR)
    target_compile_options(lumaset_warnings INTERFACE -Werror)
endif()
